// The scale bar: its label follows the scale and the interface language, and
// taps go through it.
#include "controls/bitmap_element.h"

#include "tests/controls/widget_rig.h"

#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

TEST(BitmapElement, TheLabelFollowsTheScaleAndTheLanguage)
{
    WidgetRig rig;
    CMapController& c = rig.Controller();
    CBitmapElement& bar = *c.GetScaleBarElement();
    ElementSize size;
    bar.GetSize(size);
    EXPECT_EQ(size, (ElementSize { 42, 8 })) << "the bar picture's size";
    c.SetScale(1200);
    bar.Draw();
    const QString metres = bar.GetLabel().GetText();
    EXPECT_TRUE(metres.endsWith(u'm')) << metres.toStdString();
    g_language = LANGUAGE_RUSSIAN;
    bar.Draw();
    EXPECT_EQ(bar.GetLabel().GetText(), metres.chopped(1) + u'м');
    c.SetScale(30000);
    bar.Draw();
    EXPECT_TRUE(bar.GetLabel().GetText().endsWith(QStringLiteral("км"))) << "kilometres with three decimals";
    ElementPoint at;
    bar.GetPosition(at);
    EXPECT_EQ(bar.GetLabel().GetAnchor(), (ElementPoint { at.x - 5, at.y - 18 }));
    for (auto handler :
        { &CScreenElement::OnPointerDown, &CScreenElement::OnPointerUp, &CScreenElement::OnPointerMove })
        EXPECT_EQ((bar.*handler)({ at.x + 2, at.y + 2 }), 0);
}

} // namespace
