// Node locations: the same answers in memory and, past the threshold, in a file.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/mapc/osm_data.h"

namespace {

TEST(NodeLocations, MoveToAFileWhenTheyGrowAndAnswerAlike)
{
    const size_t before = mapc::NodeLocations::s_memoryNodes;
    for (const size_t threshold : { size_t { 1000 }, size_t { 8 } }) {
        mapc::NodeLocations::s_memoryNodes = threshold;
        mapc::NodeLocations nodes;
        // Ids of both signs, out of order.
        for (int64_t i = 0; i < 100; ++i) {
            const int64_t id = (i % 2 != 0 ? -1 : 1) * ((i * 37) % 101 + 1) * 1000003;
            nodes.Set(id, { static_cast<int32_t>(i), static_cast<int32_t>(-i) });
        }
        EXPECT_EQ(nodes.InFile(), threshold == 8);
        EXPECT_EQ(nodes.size(), 100u);
        for (int64_t i = 0; i < 100; ++i) {
            const int64_t id = (i % 2 != 0 ? -1 : 1) * ((i * 37) % 101 + 1) * 1000003;
            const mapc::Location l = nodes.at(id);
            EXPECT_EQ(l.x, i);
            EXPECT_EQ(l.y, -i);
        }
        mapc::Location l;
        EXPECT_FALSE(nodes.Find(5, l));
        EXPECT_THROW(nodes.at(-5), std::out_of_range);
    }
    mapc::NodeLocations::s_memoryNodes = before;
}

} // namespace
