#include <gtest/gtest.h>

#include "kernel/api/result_codes.h"
#include "kernel/api/view_handle.h"
#include "kernel/doc/object.h"

TEST(ResultCodes, KernelCodesTranslatePerOperation)
{
    struct Case {
        int32_t kernel, open, enumeration, start;
    };
    const Case cases[] = {
        { 0, 167, 0, 10000 },
        { 1, 162, 10000, 10000 },
        { 2, 163, 10000, 10000 },
        { 3, 23, 10000, 10000 },
        { 4, 22, 10000, 10000 },
        { 6, 30, 10000, 10000 },
        { 7, 160, 160, 160 },
        { 16, 167, 20, 10000 },
        { 18, 167, 10000, 10000 },
        { 19, 167, 10000, 10000 },
        { 100, 24, 10000, 10000 },
        { 101, 165, 10000, 10000 },
        { 2001, 167, 10000, 4 },
        { 2003, 167, 10000, 28 },
        { 2000, 167, 10000, 10000 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZXS_TranslateOpenError(c.kernel), c.open) << c.kernel;
        EXPECT_EQ(ZXS_TranslateEnumError(c.kernel), c.enumeration) << c.kernel;
        EXPECT_EQ(ZXS_TranslateStartError(c.kernel), c.start) << c.kernel;
    }
    EXPECT_EQ(ZXS_TranslateResult(true), ZXS_OK);
    EXPECT_EQ(ZXS_TranslateResult(false), ZXS_ERR_FAIL);
}

TEST(KernelObject, AnErrorIsReadOnce)
{
    CZXS_Object object;
    object.SetError(12);
    EXPECT_EQ(object.GetError(), 12);
    EXPECT_EQ(object.GetError(), 0);
}

TEST(Handles, AViewIsValidOnlyWhileItsMapHandleIsOpen)
{
    int cookie = 0;
    CZXS_MapHandle map;
    CZXS_ViewHandle view;
    EXPECT_FALSE(ZXS_IsViewHandleValid(nullptr));
    EXPECT_FALSE(ZXS_IsViewHandleValid(&view));
    view.pView = reinterpret_cast<CZXS_View*>(&cookie);
    view.pMap = &map;
    map.pDoc = reinterpret_cast<CZXS_Doc*>(&cookie);
    EXPECT_FALSE(ZXS_IsViewHandleValid(&view)); // no owner cookie
    map.pOwner = &cookie;
    EXPECT_TRUE(ZXS_IsViewHandleValid(&view));
    map.pDoc = nullptr; // the map handle was closed
    EXPECT_FALSE(ZXS_IsViewHandleValid(&view));
}
