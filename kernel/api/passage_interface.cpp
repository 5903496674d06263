#include "kernel/api/passage_interface.h"

#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/passage_journal.h"

namespace {

using Journal = CZXS_PassageJournal;

CZXS_TzxDoc* MapOf(CZXS_MapHandle* map)
{
    if (map == nullptr || map->pDoc == nullptr)
        return nullptr;
    CZXS_TzxDoc* doc = &map->pDoc->Map();
    return doc->Journal() != nullptr ? doc : nullptr;
}

// The next passage of the cycle none, forward, backward, both, none, passing
// over directions the element does not have.
int32_t NextPassage(int32_t passage, const CZXS_ObjectRecord& element)
{
    switch (passage) {
    case Journal::kForward:
        return element.IsBackward() ? Journal::kBackward : 0;
    case Journal::kBackward:
        return element.IsForward() ? Journal::kForward | Journal::kBackward : 0;
    default:
        return 0;
    }
}

} // namespace

int32_t ZXS_RoadSetPassage(
    CZXS_MapHandle* map, int32_t linkId, int32_t passage, int32_t costClass, int32_t valueB, int32_t lifetime)
{
    CZXS_TzxDoc* doc = MapOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (passage < -1 || passage > 3 || costClass < 0 || costClass > 15 || valueB < 0 || valueB > 15
        || ((lifetime < 0 || lifetime > ZXS_PASSAGE_MAX_LIFETIME) && lifetime != -1))
        return ZXS_ERR_PARAM;
    Journal& journal = *doc->Journal();
    const int64_t now = Journal::Now();

    bool removed = false;
    Journal::Entry old;
    const int32_t index = journal.FindByLink(linkId, &old);
    if (index >= 0) {
        if (passage == -1) {
            passage = old.costClass == costClass && old.valueB == valueB
                ? NextPassage(old.directions, journal.EntryObject(old))
                : old.directions;
        }
        // By the entry, not its index: the document thread may have moved it since.
        journal.RemoveEntry(old, true);
        removed = true;
        if (passage == 0) {
            journal.Write();
            return ZXS_OK;
        }
    }
    // Whatever happens from here, the file follows what memory holds.
    auto finish = [&](int32_t result) {
        if (removed)
            journal.Write();
        return result;
    };

    Journal::Entry entry;
    entry.setAt = static_cast<int32_t>(now);
    entry.expiry = lifetime == -1 ? Journal::kNever : static_cast<int32_t>(now + lifetime);
    entry.costClass = static_cast<uint8_t>(costClass);
    entry.valueB = static_cast<uint8_t>(valueB);

    CZXS_ObjectCursor cursor(doc);
    if (cursor.FindRoadByLink(linkId) == 0)
        return finish(ZXS_ERR_NOOBJECT);
    entry.roadOffset = static_cast<uint32_t>(cursor.Object() - doc->FirstRoadObject());
    const CZXS_ObjectRecord element = cursor.Record();
    const uint8_t has
        = (element.IsForward() ? Journal::kForward : 0) | (element.IsBackward() ? Journal::kBackward : 0);
    if (passage == -1) {
        if (has == 0)
            return finish(ZXS_ERR_NOOBJECT);
        entry.directions = (has & Journal::kForward) ? Journal::kForward : Journal::kBackward;
    } else {
        if ((passage & ~has) != 0)
            return finish(ZXS_ERR_DIRECTION);
        entry.directions = static_cast<uint8_t>(passage);
    }
    if (entry.directions == 0)
        return finish(ZXS_OK);
    // A failed insertion is reported: the element's old setting is gone by now.
    const bool stored = journal.Insert(entry, -1, true) >= 0;
    journal.Write();
    return stored ? ZXS_OK : ZXS_ERR_MEMORY;
}

int32_t ZXS_RoadSetPassageRec(CZXS_MapHandle* map, int32_t linkId, const CZXS_PassageRecord* record)
{
    if (record == nullptr || record->size != sizeof(CZXS_PassageRecord))
        return ZXS_ERR_PARAM;
    return ZXS_RoadSetPassage(
        map, linkId, record->passage, record->costClass, record->valueB, record->lifetime);
}

int32_t ZXS_RoadGetPassageRec(CZXS_MapHandle* map, int32_t linkId, CZXS_PassageRecord* record)
{
    if (record == nullptr || record->size != sizeof(CZXS_PassageRecord))
        return ZXS_ERR_PARAM;
    CZXS_TzxDoc* doc = MapOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    Journal::Entry entry;
    if (doc->Journal()->FindByLink(linkId, &entry) < 0)
        return ZXS_ERR_NOPASSAGE;
    record->lifetime
        = entry.expiry == Journal::kNever ? -1 : static_cast<int32_t>(entry.expiry - Journal::Now());
    record->passage = entry.directions;
    record->costClass = entry.costClass;
    record->valueB = entry.valueB;
    return ZXS_OK;
}

int32_t ZXS_MapSavePassages(CZXS_MapHandle* map)
{
    CZXS_TzxDoc* doc = MapOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    doc->Journal()->Write();
    return ZXS_OK;
}
