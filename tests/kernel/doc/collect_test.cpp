#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kernel/api/result_codes.h"
#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/kernel_memory.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/memory_stream.h"
#include "kernel/doc/owner_list.h"

namespace {

std::vector<uint8_t> Record(const char* text)
{
    const size_t n = std::strlen(text) + 2;
    std::vector<uint8_t> r(n);
    ZXS_PutLe16(r.data(), static_cast<uint16_t>(n));
    std::memcpy(r.data() + 2, text, n - 2);
    return r;
}

std::string TextAt(const CCollect& c, const uint8_t* p)
{
    const uint16_t n = c.RecordLength(static_cast<uint32_t>(p - c.Data()));
    return std::string(reinterpret_cast<const char*>(p) + 2, n - 2);
}

std::vector<std::string> Walk(const CCollect& c)
{
    std::vector<std::string> out;
    for (const uint8_t* p = c.Size() > 0 ? c.Item(0) : nullptr; p != nullptr; p = c.Next(p))
        out.push_back(TextAt(c, p));
    return out;
}

struct AllocFailureGuard {
    ~AllocFailureGuard()
    {
        ZXS_FailNextAllocations(0);
        ZXS_SetMemoryTopUp(nullptr);
    }
};

uint32_t g_topUpAsked = 0;
int RecordingTopUp(uint32_t bytes)
{
    g_topUpAsked = bytes;
    return 1;
}

} // namespace

TEST(Collect, VariableRecordsStayContiguousAndZeroTheFreedTail)
{
    CCollect c;
    ASSERT_EQ(c.Allocate(4, 8), 1);
    const auto a = Record("alpha"), b = Record("be"), g = Record("gamma!");
    EXPECT_EQ(c.Append(a.data()), 0);
    EXPECT_EQ(c.Append(b.data()), 7);
    EXPECT_EQ(c.Append(g.data()), 11);
    EXPECT_EQ(Walk(c), (std::vector<std::string> { "alpha", "be", "gamma!" }));

    const uint32_t before = c.Size();
    EXPECT_EQ(c.Remove(7), 1);
    EXPECT_EQ(Walk(c), (std::vector<std::string> { "alpha", "gamma!" }));
    EXPECT_EQ(c.Size(), before - 4);
    for (uint32_t i = c.Size(); i < before; ++i)
        EXPECT_EQ(c.Data()[i], 0) << i;

    // Replacing with a longer and then a shorter record moves the tail each time.
    const auto longer = Record("ALPHA-LONG");
    EXPECT_EQ(c.Replace(longer.data(), 0), 0);
    EXPECT_EQ(Walk(c), (std::vector<std::string> { "ALPHA-LONG", "gamma!" }));
    const uint32_t wide = c.Size();
    const auto shorter = Record("a");
    EXPECT_EQ(c.Replace(shorter.data(), 0), 0);
    EXPECT_EQ(Walk(c), (std::vector<std::string> { "a", "gamma!" }));
    for (uint32_t i = c.Size(); i < wide; ++i)
        EXPECT_EQ(c.Data()[i], 0) << i;
    EXPECT_EQ(c.Insert(b.data(), 3), 3);
    EXPECT_EQ(Walk(c), (std::vector<std::string> { "a", "be", "gamma!" }));
}

TEST(Collect, MalformedLengthsEndTheWalkInsteadOfLoopingOrOverrunning)
{
    // A zero length would loop forever; a length past the end would read past it.
    for (uint16_t bad : { 0, 1, 200 }) {
        CCollect c;
        const auto a = Record("ok");
        ASSERT_EQ(c.Append(a.data()), 0);
        ASSERT_EQ(c.SetSize(c.Size() + 4), 1);
        uint8_t* tail = c.MutableItem(4);
        ZXS_PutLe16(tail, static_cast<uint16_t>(bad));
        EXPECT_EQ(Walk(c), (std::vector<std::string> { "ok" })) << bad;
        EXPECT_EQ(c.NextOffset(0), -1);
        EXPECT_EQ(c.Remove(4), 0);
        EXPECT_EQ(c.Replace(a.data(), 4), -1);
    }
}

TEST(Collect, GrowthZeroFillsAndAFailedGrowthKeepsEverything)
{
    AllocFailureGuard guard;
    CByteCollect c;
    ASSERT_EQ(c.Allocate(4, 4), 1);
    const uint8_t bytes[] = { 1, 2, 3 };
    ASSERT_EQ(c.Append(bytes, 3), 0);
    ASSERT_EQ(c.SetSize(10), 1);
    EXPECT_EQ(c.Capacity(), 14u);
    for (uint32_t i = 3; i < 10; ++i)
        EXPECT_EQ(*c.Item(i), 0);

    ZXS_FailNextAllocations(100);
    // The same size needs no memory and succeeds even now.
    EXPECT_EQ(c.SetSize(10), 1);
    EXPECT_EQ(c.GetError(), 0);
    EXPECT_EQ(c.SetSize(100), 0);
    EXPECT_EQ(c.GetError(), ZXS_KERR_MEMORY);
    EXPECT_EQ(c.GetError(), 0);
    EXPECT_EQ(c.InsertAt(0, bytes, 100), -1);
    EXPECT_EQ(c.GetError(), ZXS_KERR_MEMORY);
    EXPECT_EQ(c.Size(), 10u);
    EXPECT_EQ(c.Capacity(), 14u);
    EXPECT_EQ(*c.Item(1), 2);
}

TEST(Collect, AllocateRetriesOnceAfterTheMemoryTopUp)
{
    AllocFailureGuard guard;
    ZXS_SetMemoryTopUp(&RecordingTopUp);

    CCollect freed;
    ZXS_FailNextAllocations(1);
    g_topUpAsked = 0;
    EXPECT_EQ(freed.Allocate(1000, 0), 1);
    EXPECT_EQ(g_topUpAsked, 1000u * 11 / 10 + 65536);
    EXPECT_EQ(freed.Capacity(), 1000u);

    CCollect starved;
    ZXS_FailNextAllocations(2);
    EXPECT_EQ(starved.Allocate(1000, 0), 0);
    EXPECT_EQ(starved.GetError(), ZXS_KERR_MEMORY);
    EXPECT_EQ(starved.Capacity(), 0u);
}

TEST(FixedCollect, RecordWalkAndEnds)
{
    CFixedCollect c(4);
    EXPECT_EQ(c.Last(), nullptr);
    ASSERT_EQ(c.SetSize(3), 1);
    EXPECT_EQ(c.SizeInBytes(), 12u);
    ASSERT_EQ(c.CCollect::SetSize(14), 1); // two stray bytes: still three records
    EXPECT_EQ(c.Count(), 3u);
    EXPECT_EQ(c.Last(), c.Data() + 8);
    EXPECT_EQ(c.Next(c.Item(1)), c.Item(2));
    EXPECT_EQ(c.Next(c.Item(2)), nullptr);
    EXPECT_EQ(c.Previous(c.Item(0)), nullptr);
    EXPECT_EQ(c.Item(3), nullptr);

    const uint8_t rec[8] = { 1, 1, 1, 1, 2, 2, 2, 2 };
    ASSERT_EQ(c.CCollect::SetSize(12), 1);
    EXPECT_EQ(c.InsertAt(1, rec, 2), 1);
    EXPECT_EQ(c.Count(), 5u);
    EXPECT_EQ(c.Item(2)[0], 2);
    EXPECT_EQ(c.InsertAt(9, rec, 1), -1);
    EXPECT_EQ(c.RemoveAt(0, 2), 1);
    EXPECT_EQ(c.Item(0)[0], 2);
    EXPECT_EQ(c.RemoveAt(2, 2), 0);
    EXPECT_EQ(c.Truncate(5), 0);
    EXPECT_EQ(c.Truncate(2), 1);
    EXPECT_EQ(c.Count(), 1u);

    c.Free();
    EXPECT_EQ(c.RecordSize(), 1);
}

TEST(Collect, BorrowedBufferSurvivesFreeAndIsCopiedBeforeAChange)
{
    const uint8_t block[12] = { 4, 0, 'a', 'b', 4, 0, 'c', 'd', 9, 9, 9, 9 };
    CZXS_MemoryStream stream;
    stream.Assign(block, sizeof block);

    CFixedCollect table(4);
    ASSERT_EQ(table.Load(stream, 8), 1);
    EXPECT_TRUE(table.IsBorrowed());
    EXPECT_EQ(table.Data(), block);
    EXPECT_EQ(table.RecordSize(), 4);
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_EQ(stream.GetPosition(), 8u);
    // Fewer bytes left than asked: nothing is taken.
    EXPECT_EQ(table.Load(stream, 5), 0);

    CCollect names;
    CZXS_MemoryStream again;
    again.Assign(block, sizeof block);
    ASSERT_EQ(names.Load(again, 8), 1);
    uint8_t* own = names.MutableItem(2);
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(names.IsBorrowed());
    own[0] = 'X';
    EXPECT_EQ(block[2], 'a');

    CCollect borrowed;
    CZXS_MemoryStream third;
    third.Assign(block, sizeof block);
    ASSERT_EQ(borrowed.Load(third, 12), 1);
    EXPECT_EQ(borrowed.Free(), 1);
    EXPECT_FALSE(borrowed.IsBorrowed());
    EXPECT_EQ(borrowed.Size(), 0u);
    EXPECT_EQ(block[8], 9); // the owner's block is untouched (ASan would catch a free)
}

TEST(OwnerList, MembershipAndErrors)
{
    CZXS_Object a, b, c;
    CZXS_OwnerList list;
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(a.GetError(), ZXS_KERR_NOSOURCE);
    ASSERT_EQ(list.Create(), 1);
    EXPECT_EQ(list.Add(&a), 1);
    EXPECT_EQ(list.Add(&b), 1);
    EXPECT_EQ(list.Add(&c), 1);
    EXPECT_EQ(list.Remove(&b), 1);
    EXPECT_EQ(list.Remove(&b), 0);
    EXPECT_EQ(b.GetError(), ZXS_KERR_NOTFOUND);
    EXPECT_EQ(list.Count(), 2);

    std::vector<CZXS_Object*> seen;
    EXPECT_EQ(list.Notify([&](CZXS_Object* o) {
        seen.push_back(o);
        return true;
    }),
        0);
    EXPECT_EQ(seen, (std::vector<CZXS_Object*> { &a, &c }));
    seen.clear();
    EXPECT_EQ(list.Notify([&](CZXS_Object* o) {
        seen.push_back(o);
        return o != &a;
    }),
        1);
    EXPECT_EQ(seen.size(), 1u);
}
