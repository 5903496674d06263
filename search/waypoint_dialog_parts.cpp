#include "search/waypoint_dialog_parts.h"

#include "controls/object_type_icons.h"
#include "drawlib/screen_draw_tool.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/screen_metrics.h"
#include "foundation/static_tables.h"
#include "nav/map_controller.h"
#include "platform/local_time.h"
#include "platform/message_box.h"
#include "search/poi_query.h"
#include "ui/control_host.h"
#include "ui/dialog_style.h"

#include <QBitmap>
#include <QBoxLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <ctime>

CUpDownButtons::CUpDownButtons(QWidget* parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int side = ScaleByDpiX(16);
    for (auto [button, name, text, delta] :
        { std::tuple { m_up, "up", u"\u25B2", -1 }, std::tuple { m_down, "down", u"\u25BC", 1 } }) {
        button->setObjectName(QLatin1String(name));
        button->setText(QString::fromUtf16(text));
        button->setFixedSize(side, ScaleByDpiY(12));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        layout->addWidget(button);
        QObject::connect(button, &QToolButton::clicked, this, [this, delta = delta] {
            if (m_handler)
                m_handler(delta);
        });
    }
}

void AddDateTimeGroups(ControlHost& host, QWidget* form, QBoxLayout* rows, int dateGroupId, int timeGroupId,
    const DateTimeFieldTable& fields, bool readOnly, const std::function<void(DateTimeField, int)>& onDelta)
{
    for (size_t first : { size_t { 0 }, size_t { 3 } }) {
        auto* group = host.AddControl<QGroupBox>(first == 0 ? dateGroupId : timeGroupId, form);
        auto* line = new QHBoxLayout(group);
        line->setContentsMargins(DialogSpacing(), DialogSpacing(), DialogSpacing(), DialogSpacing());
        line->setSpacing(2);
        for (size_t i = first; i < first + 3; ++i) {
            const bool year = fields[i].field == DateTimeField::Year;
            auto* edit = host.AddControl<QLineEdit>(fields[i].edit, group);
            edit->setReadOnly(readOnly);
            edit->setAlignment(Qt::AlignCenter);
            StyleTouchControl(edit);
            edit->setMinimumWidth(ScaleByDpiX(year ? 40 : 24));
            auto* spin = host.AddControl<CUpDownButtons>(fields[i].spin, group);
            spin->SetDeltaHandler([onDelta, field = fields[i].field](int delta) { onDelta(field, delta); });
            line->addWidget(edit, year ? 4 : 3);
            line->addWidget(spin);
        }
        rows->addWidget(group);
    }
}

uint16_t StepEditorField(DateTimeField field, uint16_t value, int delta)
{
    // The upper arrow (-1) adds one; the value wraps as an unsigned 16-bit one.
    const auto v = static_cast<uint16_t>(value - delta);
    switch (field) {
    case DateTimeField::Day:
        return v >= 32 ? 1 : v == 0 ? 31 : v;
    case DateTimeField::Month:
        return v > 12 ? 1 : v == 0 ? 12 : v;
    case DateTimeField::Year:
        return v > 2038 ? 1971 : v <= 1970 ? 2038 : v;
    case DateTimeField::Hour:
        return v > 23 ? 0 : v;
    case DateTimeField::Minute:
    case DateTimeField::Second:
        return v >= 60 ? 0 : v;
    }
    return v;
}

int StepPropertiesField(DateTimeField field, int value, int delta)
{
    const int v = value - delta;
    switch (field) {
    case DateTimeField::Day:
        return v > 31 ? 1 : v <= 0 ? 31 : v;
    case DateTimeField::Month:
        return v > 12 ? 1 : v <= 0 ? 12 : v;
    case DateTimeField::Year:
        return v > 2038 ? 1971 : v <= 1970 ? 2038 : v;
    case DateTimeField::Hour:
        return v > 23 ? 0 : v < 0 ? 23 : v;
    case DateTimeField::Minute:
    case DateTimeField::Second:
        return v >= 60 ? 0 : v < 0 ? 59 : v;
    }
    return v;
}

std::optional<WaypointDateTime> LocalDateTimeOf(int64_t seconds)
{
    const auto time = static_cast<time_t>(seconds);
    if (static_cast<int64_t>(time) != seconds)
        return std::nullopt;
    tm local {};
    if (localtime_r(&time, &local) == nullptr || local.tm_year + 1900 > 30827 || local.tm_year + 1900 < 1)
        return std::nullopt;
    return WaypointDateTime { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
        local.tm_min, local.tm_sec };
}

WaypointDateTime LocalDateTimeNow()
{
    const platform::LocalTime now = platform::GetLocalTime();
    return { now.year, now.month, now.day, now.hour, now.minute, now.second };
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<int64_t> SecondsOfLocalDateTime(WaypointDateTime f)
{
    if (f.year < 1970 || f.year > 3000 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || f.hour < 0
        || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59)
        return std::nullopt;
    tm local {};
    local.tm_year = f.year - 1900;
    local.tm_mon = f.month - 1;
    local.tm_mday = std::min(f.day, DaysInMonth(f.year, f.month));
    local.tm_hour = f.hour;
    local.tm_min = f.minute;
    local.tm_sec = f.second;
    local.tm_isdst = -1;
    const time_t seconds = mktime(&local);
    // The first hours of 1970 lie before the epoch east of Greenwich.
    if (seconds == static_cast<time_t>(-1) && !(f.year == 1970 && f.month == 1 && f.day == 1))
        return std::nullopt;
    return static_cast<int64_t>(seconds);
}

QString DefaultWaypointSoundPath(const QString& folder)
{
    QString path = RemoveExtension(folder) + QStringLiteral("0.wav");
    MakeNumberedFileName(path);
    return path;
}

QStringList WaypointTypeChoices()
{
    QStringList choices { QString() };
    for (const std::u16string_view name : WaypointColourNames(g_language.load()))
        choices << QStringView(name).toString();
    if (g_MapController) {
        const QStringList& categories = g_MapController->GetPoiSearcher().GetCategoryNames();
        choices << categories.mid(1);
    }
    return choices;
}

void ShowImagePicture(QLabel* picture, int imageId)
{
    if (picture == nullptr)
        return;
    const QImage* image = g_drawTool ? g_drawTool->CreateHBITMAP(static_cast<uint32_t>(imageId)) : nullptr;
    QPixmap pixmap;
    if (image != nullptr) {
        pixmap = QPixmap::fromImage(*image);
        pixmap.setMask(QBitmap::fromImage(image->createMaskFromColor(0xFFFF00FF, Qt::MaskInColor)));
    }
    picture->setPixmap(pixmap);
}

int WaypointTypePictureId(const QString& type)
{
    constexpr int kNoTypeImage = 13334;
    constexpr int kDefaultBitmap = 653;
    const int colour = GetSpecialCategoryIconId(type);
    if (colour != kDefaultBitmap)
        return colour;
    const int bitmap = GetCategoryBitmapId(type);
    return bitmap == kDefaultBitmap ? kNoTypeImage : bitmap;
}

void ShowWaypointRefused(QWidget* owner)
{
    platform::ShowMessageBox(owner,
        Bilingual(u"The waypoint was not added: its place lies outside the map or there is nothing with an "
                  u"address near it.",
            u"Закладка не добавлена: место находится вне карты или рядом с ним нет объектов с адресом."),
        QStringLiteral("Travenor Pro"), platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

QVBoxLayout* AddScrollingForm(QWidget* parent, QBoxLayout* into, int stretch)
{
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* form = new QWidget(area);
    area->setWidget(form);
    area->viewport()->setAutoFillBackground(false);
    into->addWidget(area, stretch);
    auto* rows = new QVBoxLayout(form);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(DialogSpacing());
    return rows;
}
