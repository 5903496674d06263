#pragma once
// The handlers that carry the commands out. Most are thin: they call the map
// controller, the route requests, the launchers of the sheets or the main
// frame. The quick menu, the screenshot, the phone application and the GPS
// reconnection behind "Restore Bluetooth" have logic of their own, reachable
// here for the command window and the tests.
#include "controls/command_registry.h"
#include "ui/list_choice_dlg.h"

#include <QString>
#include <cstdint>

// The handler of a command id, none when it has none.
CommandHandler GetCommandHandler(uint32_t id);
// The double-tap handler: only the route's first and last point have one.
CommandHandler GetAlternateCommandHandler(uint32_t id);

// The main window takes the keyboard focus and comes to the front.
void FocusBack();

// The notice that an option belongs to the Harrowick edition: in the message
// window while the map screen is in front, else in a message box. 0.
int ShowEditionOnlyMessage();

// The values of a range as a list choice: minimum, minimum + step, ... up to
// the maximum, each shown as its number.
class CRangeEnumerator : public CListSource {
public:
    CRangeEnumerator(int32_t current, int32_t maximum, int32_t minimum, int32_t step);
    bool Next(int index, QString& name, int32_t& value) override;

private:
    int32_t m_maximum;
    int32_t m_minimum;
    int32_t m_step;
};

// The quick menu's cell `index`: its command (2 the cancel cell) and its
// texts, for an orientation (1 portrait, 2 landscape, 3 square), the mode and
// the language, and whether the zoom slider is shown. False where the layout
// has no such cell (another orientation or language, an index past 7).
struct QuickMenuCell {
    int32_t command = 0;
    QString caption;
    QString description;
    uint8_t state = 0;
};
bool GetQuickMenuCell(
    int index, int orientation, bool expert, int language, bool sliderShown, QuickMenuCell& cell);
inline constexpr int32_t kQuickMenuCancel = 2;

// The screenshot's first free name: "KVRA screen.bmp" in the folder (the
// documents folder when empty), numbered until neither the .bmp nor the .jpg
// exists, with the extension of `format` (1 JPEG, else BMP).
QString ProposeScreenshotName(const QString& folder, int32_t format);
// How a chosen name's extension is saved: 0 BMP, 1 JPEG, -1 not a picture
// format. Any case; "jpeg" is JPEG too.
int ScreenshotFormatOfPath(const QString& path);
