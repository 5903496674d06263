#include "kernel/doc/style_table.h"

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
