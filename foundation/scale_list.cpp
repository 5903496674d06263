#include "foundation/scale_list.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int32_t, 24> kScaleLadder { 54, 81, 106, 160, 267, 400, 533, 800, 1067, 1600, 2667, 4000,
    5333, 8000, 10667, 16000, 26666, 39998, 53330, 79998, 106663, 159993, 266655, 399985 };
constexpr size_t kDefaultIndex = 6;
// The default before the list is filled, as it has always been.
constexpr int32_t kDefaultWhenEmpty = 400;

} // namespace

// Constant-initialised, so it exists before any other static object can use it.
constinit ScaleList g_scaleList;

void FillScaleList(ScaleList& list) { list.assign(kScaleLadder.begin(), kScaleLadder.end()); }

void FreeScaleList(ScaleList& list) { ScaleList().swap(list); }

int32_t GetMinMapScale(const ScaleList& list) { return list.empty() ? kScaleLadder.front() : list.front(); }

int32_t GetMaxMapScale(const ScaleList& list) { return list.empty() ? kScaleLadder.back() : list.back(); }

int32_t GetDefaultMapScale(const ScaleList& list)
{
    return list.size() > kDefaultIndex ? list[kDefaultIndex] : kDefaultWhenEmpty;
}

int32_t GetStartMapScale(const ScaleList& list) { return GetDefaultMapScale(list); }

int32_t GetNextScaleUp(int32_t scale, const ScaleList& list)
{
    const auto it = std::find_if(list.begin(), list.end(), [scale](int32_t value) { return value > scale; });
    return it != list.end() ? *it : GetMaxMapScale(list);
}

int32_t GetNextScaleDown(int32_t scale, const ScaleList& list)
{
    const auto it
        = std::find_if(list.rbegin(), list.rend(), [scale](int32_t value) { return value < scale; });
    return it != list.rend() ? *it : GetMinMapScale(list);
}
