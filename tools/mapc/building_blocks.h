#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "kernel/doc/point_coding.h"

// Buildings merged into the blocks they form, for views where each building
// alone is too small to be drawn.
namespace mapc {

using Ring = std::vector<ZXS_Point>; // a closed ring without its closing repeat

struct BlockOptions {
    double cell = 1.5; // raster cell (map units)
    double closing = 3.0; // gaps narrower than about twice this are closed
    double tolerance = 2.0; // how far an outline may stray from the raster's
    // A block whose width plus height (map units) does not exceed this is
    // left out; a courtyard whose width plus height is below the second is filled.
    int64_t minExtent = 32;
    int64_t minHoleExtent = 24;
    int32_t tileCells = 512; // a larger group is cut into tiles of this many cells a side
};

// Buildings as their rings where they lie: building k is rings[starts[k]]
// up to rings[starts[k + 1]], filled by the even-odd rule.
struct Footprints {
    std::vector<const Ring*> rings;
    std::vector<uint32_t> starts { 0 };

    size_t Count() const { return starts.size() - 1; }
    // Ends the building of the rings added since the last one ended.
    void EndBuilding() { starts.push_back(static_cast<uint32_t>(rings.size())); }
};

// The blocks of a set of buildings, each handed to the sink. Buildings that
// touch or stand closer than about twice the closing distance become one
// block: its outer ring first, then its courtyards, so that the even-odd rule
// fills the block. A building with no neighbour makes no block: it is drawn
// as itself. Blocks come in a fixed order for the same input, and none has
// more rings than the renderer fills or a ring of more points than a record
// holds.
using BlockSink = std::function<void(std::vector<Ring>&& block)>;
void BuildingBlocks(const Footprints& buildings, const BlockSink& sink, const BlockOptions& options = {});
// The same of buildings each given as its rings, the blocks in a list.
std::vector<std::vector<Ring>> BuildingBlocks(
    const std::vector<std::vector<Ring>>& buildings, const BlockOptions& options = {});

} // namespace mapc
