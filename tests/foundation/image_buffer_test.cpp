#include "foundation/image_buffer.h"
#include "foundation/page_arena.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(ImageRows, RowTableFollowsTheStrideInEitherOrder)
{
    std::vector<uint8_t> block(480 * 320);
    CImageRows rows;
    rows.Attach(block.data(), 240, 320, -480);
    EXPECT_EQ(rows.Row(0), block.data() + 480 * 319);
    EXPECT_EQ(rows.Row(319), block.data());
    EXPECT_EQ(rows.GetCapacity(), 320);
    rows.Attach(block.data(), 240, 10, 480);
    EXPECT_EQ(rows.Row(0), block.data());
    EXPECT_EQ(rows.Row(9), block.data() + 480 * 9);
    EXPECT_EQ(rows.GetCapacity(), 320); // the table only grows
    rows.Detach();
    EXPECT_EQ(rows.GetWidth(), 0);
    EXPECT_FALSE(rows.HasPixels());
}

TEST(ImageView, FirstRowUnderANegativeStride)
{
    std::vector<uint8_t> block(8 * 3);
    CImageView view;
    view.Init(block.data(), 3, 3, -8);
    EXPECT_EQ(view.firstRow, block.data() + 16);
    view.Init(block.data(), 3, 0, -8);
    EXPECT_EQ(view.firstRow, block.data());
    view.Init(block.data(), 3, 3, 8);
    EXPECT_EQ(view.firstRow, block.data());
}

namespace {

// CopyPixelsFrom only asks whether a buffer has a draw tool; the tool itself
// is never touched, so any distinct address stands in for one.
CDrawTool* SomeTool()
{
    static int anchor;
    return reinterpret_cast<CDrawTool*>(&anchor);
}

} // namespace

TEST(ImageBuffer, CopyPixelsNeedsMatchingGeometryOnceAttached)
{
    std::vector<uint8_t> a(16 * 4, 0x11), b(16 * 4, 0x22), c(20 * 4, 0x33);
    CImageBuffer src, dst, other;
    src.AttachPixels(a.data(), 8, 4, -16, SomeTool());
    EXPECT_FALSE(dst.CopyPixelsFrom(other)); // source without a surface

    dst.AttachPixels(c.data(), 10, 4, 20, SomeTool());
    EXPECT_FALSE(dst.CopyPixelsFrom(src));
    EXPECT_EQ(c[0], 0x33);

    dst.AttachPixels(b.data(), 8, 4, -16, SomeTool());
    EXPECT_TRUE(dst.CopyPixelsFrom(src));
    EXPECT_EQ(b, a);
}

TEST(ImageBuffer, DetachedBufferTakesOwnPixelsForACopy)
{
    std::vector<uint8_t> a(12 * 5);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = static_cast<uint8_t>(i);
    CImageBuffer src, dst;
    src.AttachPixels(a.data(), 6, 5, 12, SomeTool());
    ASSERT_TRUE(dst.CopyPixelsFrom(src));
    ASSERT_TRUE(dst.OwnsPixels());
    EXPECT_EQ(dst.GetOwnCapacity(), 60u);
    EXPECT_EQ(dst.GetView().width, 6);
    EXPECT_EQ(std::memcmp(dst.GetView().pixels, a.data(), a.size()), 0);

    // Attaching external pixels abandons the own block.
    dst.AttachPixels(a.data(), 6, 5, 12, SomeTool());
    EXPECT_FALSE(dst.OwnsPixels());
    EXPECT_EQ(dst.GetOwnCapacity(), 0u);
    dst.Reset();
    EXPECT_EQ(dst.GetSurface(), nullptr);
    EXPECT_EQ(dst.GetView().pixels, nullptr);
}

TEST(ImageBuffer, EnsurePixelsGrowsOnlyWhenNeeded)
{
    CImageBuffer buffer;
    ASSERT_TRUE(buffer.EnsurePixels(10, 10, -20, buffer.GetRows()));
    uint8_t* first = buffer.GetOwnPixels();
    EXPECT_EQ(buffer.GetRows().Row(0), first + 20 * 9);
    EXPECT_EQ(buffer.GetView().firstRow, first + 20 * 9);
    // A smaller geometry reuses the block, a larger one takes a new block.
    ASSERT_TRUE(buffer.EnsurePixels(5, 5, 12, buffer.GetRows()));
    EXPECT_EQ(buffer.GetOwnPixels(), first);
    ASSERT_TRUE(buffer.EnsurePixels(20, 20, 40, buffer.GetRows()));
    EXPECT_NE(buffer.GetOwnPixels(), first);
    EXPECT_EQ(buffer.GetOwnCapacity(), 800u);
    buffer.GetRows().PixelRow(19)[19] = 0xFFFF;
}

TEST(ImageBuffer, ArenaFailureLeavesNoGeometryBehind)
{
    CImageBuffer buffer;
    CImageRows target;
    // More than the whole arena: refused, and nothing can be drawn through it.
    EXPECT_FALSE(buffer.EnsurePixels(30000, 30000, 60000, target));
    EXPECT_FALSE(target.HasPixels());
    EXPECT_EQ(target.GetHeight(), 0);
    EXPECT_EQ(buffer.GetView().pixels, nullptr);
    EXPECT_EQ(buffer.GetView().height, 0);
    // The arena still serves ordinary requests.
    EXPECT_TRUE(buffer.EnsurePixels(16, 16, 32, target));
    EXPECT_TRUE(target.HasPixels());
}
