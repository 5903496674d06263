#include "ui/dialog_style.h"

#include "foundation/screen_metrics.h"

#include <QWidget>

QFont DialogFont(int designPx, int weight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(ScaleByDpiY(designPx));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

int TouchHeight() { return ScaleByDpiY(30); }
int DialogMargin() { return ScaleByDpiX(6); }
int DialogSpacing() { return ScaleByDpiY(6); }
int GetMenuBarHeight() { return ScaleByDpiY(26); }

void StyleTouchControl(QWidget* control)
{
    control->setFont(DialogFont());
    control->setMinimumHeight(TouchHeight());
}
