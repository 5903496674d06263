#include "kernel/doc/style_table.h"

#include <algorithm>
#include <cmath>
#include <limits>

int CZXS_StyleTable::Free()
{
    const int result = CFixedCollect::Free();
    SetRecordSize(CZXS_StyleRecord::kSize);
    return result;
}

CZXS_StyleRecord CZXS_StyleTable::StyleFor(int group, float pixelsPerUnit) const
{
    CZXS_StyleRecord best;
    for (uint32_t i = 0; i < Count(); ++i) {
        const CZXS_StyleRecord style = At(i);
        if (style.Group() != group || !(style.Threshold() < pixelsPerUnit))
            continue;
        if (!best || style.Threshold() > best.Threshold())
            best = style;
    }
    return best;
}

CZXS_StyleRecord CZXS_StyleTable::TopStyle(int group) const
{
    CZXS_StyleRecord best;
    for (uint32_t i = 0; i < Count(); ++i) {
        const CZXS_StyleRecord style = At(i);
        if (style.Group() == group && (!best || style.Threshold() > best.Threshold()))
            best = style;
    }
    return best;
}

uint32_t CZXS_StyleTable::ScaleOfThreshold(float threshold, double resolution)
{
    const double product = resolution * threshold;
    if (product == 0 || !std::isfinite(product))
        return 0;
    const double scale = std::trunc(10000.0 / product);
    return static_cast<uint32_t>(std::clamp(scale, 0.0, 4294967295.0));
}

float CZXS_StyleTable::ThresholdOfScale(uint32_t scale, double resolution)
{
    if (scale == 0 || !(resolution > 0) || !std::isfinite(resolution))
        return 0;
    float threshold = static_cast<float>(10000.0 / (resolution * scale));
    // The nearest float may truncate to the neighbouring scale: step towards
    // the one that gives the scale back (a smaller threshold, a larger scale).
    for (int i = 0; i < 8 && ScaleOfThreshold(threshold, resolution) < scale; ++i)
        threshold = std::nextafter(threshold, 0.0f);
    for (int i = 0; i < 8 && ScaleOfThreshold(threshold, resolution) > scale; ++i)
        threshold = std::nextafter(threshold, std::numeric_limits<float>::infinity());
    return threshold;
}
