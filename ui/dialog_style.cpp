#include "ui/dialog_style.h"

#include "foundation/dialog_templates.h"
#include "foundation/screen_metrics.h"

#include "platform/message_box.h"

#include <QWidget>
#include <QWindow>

QFont DialogFont(int designPx, int weight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(ScaleByDpiY(designPx));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QPoint DeviceScreenOrigin()
{
    QWidget* device = platform::DeviceScreenWindow();
    return device ? device->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
}

void PlaceOverDeviceScreen(QWidget* window, const QRect& rect)
{
    window->setGeometry(rect.translated(DeviceScreenOrigin()));
    if (QWidget* device = platform::DeviceScreenWindow()) {
        window->winId(); // makes the platform window that takes the transient parent
        if (window->windowHandle() && device->windowHandle())
            window->windowHandle()->setTransientParent(device->windowHandle());
    }
}

int TouchHeight() { return ScaleByDpiY(30); }
int DialogMargin() { return ScaleByDpiX(6); }
int DialogSpacing() { return ScaleByDpiY(6); }
int GetMenuBarHeight() { return ScaleByDpiY(26); }

void StyleTouchControl(QWidget* control)
{
    control->setFont(DialogFont());
    control->setMinimumHeight(TouchHeight());
    // The style draws check marks and radio dots at one size; they grow with
    // the screen's density like the text.
    if (control->inherits("QCheckBox") || control->inherits("QRadioButton"))
        control->setStyleSheet(
            QStringLiteral("::indicator { width: %1px; height: %1px; }").arg(ScaleByDpiY(14)));
}

bool IsLandscapeTemplate(int templateId)
{
    const bool landscapeTwin = GetLandscapeDialogId(templateId) == templateId;
    const bool portraitTwin = GetPortraitDialogId(templateId) == templateId;
    if (landscapeTwin != portraitTwin)
        return landscapeTwin;
    return GetEffectiveOrientation() == ORIENT_LANDSCAPE;
}
