#pragma once
// Pieces the waypoint dialogs share: the up and down arrows beside a date or
// time field and the stepping of those fields, the calendar fields of a
// waypoint's time, the default name of a new sound note, the list of waypoint
// types, and the notices the dialogs show when a waypoint cannot be added.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class ControlHost;
class QBoxLayout;
class QLabel;
class QVBoxLayout;
class QToolButton;

// Two arrows, up above down. The upper arrow reports the delta -1 and the
// lower one +1, as the platform's up-down control does.
class CUpDownButtons : public QWidget {
public:
    explicit CUpDownButtons(QWidget* parent);

    void SetDeltaHandler(std::function<void(int delta)> handler) { m_handler = std::move(handler); }
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

private:
    std::function<void(int)> m_handler;
    QToolButton* m_up;
    QToolButton* m_down;
};

// The local calendar fields of a waypoint's date and time.
struct WaypointDateTime {
    int year = 1971;
    int month = 1; // 1-12
    int day = 1; // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

enum class DateTimeField { Day, Month, Year, Hour, Minute, Second };

// The fields of a dialog's date and time: each number field with its arrows.
struct DateTimeFieldIds {
    DateTimeField field;
    int edit;
    int spin;
};
using DateTimeFieldTable = std::array<DateTimeFieldIds, 6>;

// The member that holds a field.
template <class T>
T& DateTimeMember(DateTimeField field, T& day, T& month, T& year, T& hour, T& minute, T& second)
{
    switch (field) {
    case DateTimeField::Day:
        return day;
    case DateTimeField::Month:
        return month;
    case DateTimeField::Year:
        return year;
    case DateTimeField::Hour:
        return hour;
    case DateTimeField::Minute:
        return minute;
    case DateTimeField::Second:
        break;
    }
    return second;
}

// Adds the date group (day, month, year) and the time group (hour, minute,
// second) to `rows`: three number fields with their arrows each, the arrows
// calling `onDelta`.
void AddDateTimeGroups(ControlHost& host, QWidget* form, QBoxLayout* rows, int dateGroupId, int timeGroupId,
    const DateTimeFieldTable& fields, bool readOnly, const std::function<void(DateTimeField, int)>& onDelta);

// One step of a field of the waypoint editor, whose fields are unsigned 16-bit
// values: day, month and year wrap both ways, hour, minute and second wrap
// upward only (down from 0 stays 0).
uint16_t StepEditorField(DateTimeField field, uint16_t value, int delta);
// One step of a field of the waypoint properties dialog, whose fields are
// signed and wrap both ways.
int StepPropertiesField(DateTimeField field, int value, int delta);

// The local date and time of seconds since 1970; nothing when it cannot be converted.
std::optional<WaypointDateTime> LocalDateTimeOf(int64_t seconds);
// The device's local date and time now.
WaypointDateTime LocalDateTimeNow();
// The days of a month (1-12) of a year.
int DaysInMonth(int year, int month);
// Seconds since 1970 of local date and time fields, daylight saving decided by
// the C library. A day past the end of its month counts as the month's last
// day, never as a day of the next month. Nothing for a field out of its range
// (years 1970 to 3000).
std::optional<int64_t> SecondsOfLocalDateTime(WaypointDateTime fields);

// The name of a new sound note in `folder` (a device path ending in a
// separator): "0.wav" there, or the first free of "01.wav", "02.wav" ...
QString DefaultWaypointSoundPath(const QString& folder);

// The waypoint types that have a picture on the map, in the interface
// language: the empty type first, then the six colours, then the map's POI
// categories (without "all").
QStringList WaypointTypeChoices();

// Shows the stored image of that id in a picture, magenta transparent; an
// empty picture when the image store has none.
void ShowImagePicture(QLabel* picture, int imageId);
// The picture of a waypoint type: a colour's own, a category's symbol, or the
// picture of no type.
int WaypointTypePictureId(const QString& type);

// Tells the user that the list refused the waypoint: its place lies outside
// the map or has nothing with an address near it.
void ShowWaypointRefused(QWidget* owner);

// A scrolling form for a dialog whose controls do not fit a small screen,
// added to `into` with `stretch`: the returned rows are the form's, their
// widget the parent of its controls.
QVBoxLayout* AddScrollingForm(QWidget* parent, QBoxLayout* into, int stretch);
