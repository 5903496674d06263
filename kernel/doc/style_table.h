#pragma once

#include "kernel/doc/fixed_collect.h"
#include "kernel/doc/style_record.h"

// The map's drawing styles, 44-byte records grouped by style group.
class CZXS_StyleTable : public CFixedCollect {
public:
    CZXS_StyleTable()
        : CFixedCollect(CZXS_StyleRecord::kSize)
    {
    }

    int Free() override;

    // The style of the group whose threshold is the greatest one strictly below
    // `pixelsPerUnit` (the first of equals); none when no threshold is below it.
    CZXS_StyleRecord StyleFor(int group, float pixelsPerUnit) const;
    // The style of the group with the greatest threshold; none without one.
    CZXS_StyleRecord TopStyle(int group) const;
    CZXS_StyleRecord At(uint32_t index) const { return CZXS_StyleRecord(Item(index)); }

    // Outside the kernel a style's first word is a scale, trunc(10000 / (R × threshold))
    // with R the map's resolution; a threshold of 0 (always drawn) and a map
    // without a resolution give 0.
    static uint32_t ScaleOfThreshold(float threshold, double resolution);
    // The threshold that ScaleOfThreshold turns back into `scale`; 0 for a
    // scale of 0 or a map without a resolution.
    static float ThresholdOfScale(uint32_t scale, double resolution);
};
