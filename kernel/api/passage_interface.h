#pragma once

#include <cstdint>

#include "kernel/api/map_handle.h"

// A road element's passage setting as the interface exchanges it: 11 bytes,
// packed, little-endian.
#pragma pack(push, 1)
struct CZXS_PassageRecord {
    uint16_t size = 11; // must be 11
    uint16_t costClass = 0; // 0..15: the router's factor for the element's edges (14 unchanged, 15 closed)
    uint16_t valueB = 0; // 0..15: kept and reported back only
    int32_t lifetime = -1; // seconds 0..655340, or -1 for no expiry; on reading the seconds left
    uint8_t passage = 0; // 0 none, 1 forward, 2 backward, 3 both
};
#pragma pack(pop)
static_assert(sizeof(CZXS_PassageRecord) == 11);

inline constexpr int32_t ZXS_PASSAGE_MAX_LIFETIME = 655340;

// Sets the passage of the road element with the link id: passage -1 cycles
// none, forward, backward, both (skipping directions the element lacks) when
// the cost class and value B are those already set, and otherwise keeps the
// passage while the values change. ZXS_ERR_NOHANDLE no document; ZXS_ERR_PARAM
// a value out of range; ZXS_ERR_NOOBJECT no such road element (or, with -1 and
// no entry yet, one without directions); ZXS_ERR_DIRECTION a direction the
// element does not have; ZXS_ERR_MEMORY memory; 0 done. Every change is
// written to the journal file.
int32_t ZXS_RoadSetPassage(CZXS_MapHandle* map, int32_t linkId, int32_t passage, int32_t costClass,
    int32_t valueB, int32_t lifetime);
// As ZXS_RoadSetPassage with the record's values; ZXS_ERR_PARAM without a
// record of size 11.
int32_t ZXS_RoadSetPassageRec(CZXS_MapHandle* map, int32_t linkId, const CZXS_PassageRecord* record);
// Fills the record (its size set to 11 by the caller) with the element's live
// passage setting: ZXS_ERR_PARAM bad record, ZXS_ERR_NOHANDLE no document,
// ZXS_ERR_NOPASSAGE no setting.
int32_t ZXS_RoadGetPassageRec(CZXS_MapHandle* map, int32_t linkId, CZXS_PassageRecord* record);
// Writes the journal file from the passage settings in force, the user's
// closures and the jams alike; nothing is cleared. ZXS_ERR_NOHANDLE no document.
int32_t ZXS_MapSavePassages(CZXS_MapHandle* map);
