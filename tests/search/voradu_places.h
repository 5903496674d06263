#pragma once
// Places of the Voradu map for the waypoint tests: the middle of a house
// found by its street and number, the GPS fix set as the poll sets it; SDL's
// disk audio for recording voice notes; and taps on the date and time arrows
// of the waypoint dialogs.
#include "gps/gps_fix.h"
#include "kernel/api/map_geo.h"
#include "platform/sound.h"
#include "search/address_searcher.h"
#include "search/waypoint_dialog_parts.h"
#include "tests/search/search_map.h"
#include "ui/control_host.h"

#include <QFile>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace search_testing {

// The middle of a house of the street, as a geographic position.
inline CGeoPos HousePosition(SearchMap& map, const char* street, const char* number)
{
    CAddressSearcher& searcher = map.Searcher();
    CNameQuery names;
    names.pattern = QString::fromUtf8(street);
    searcher.FindNames(names);
    CHouseQuery houses;
    houses.streetPattern = names.pattern;
    houses.housePattern = QString::fromUtf8(number);
    houses.selectedIndex = 0;
    searcher.FindHouses(houses);
    CGeoPos position;
    for (const CHouseEntry& h : searcher.GetHouseList()) {
        ZXS_Rect box;
        double longitude = 0, latitude = 0;
        if (h.houseText == houses.housePattern && ZXS_ObjGetRect(map.Map(), h.objectId, -1, -1, &box, 0) == 0
            && ZXS_MapToGeo(
                   map.Map(), (box.left + box.right) / 2, (box.top + box.bottom) / 2, &longitude, &latitude)
                == 0)
            position.Set(latitude, longitude);
    }
    EXPECT_TRUE(position.IsValid()) << street << " " << number;
    return position;
}

// The fix the tick reads, set as the GPS poll would set it.
inline void SetFix(const CGeoPos& position, char status = 'A')
{
    platform::CSLock lock(g_gpsFixLock);
    static_cast<CGeoPos&>(g_gpsFix) = position;
    g_gpsFix.m_status = status;
}

// SDL's audio through its disk driver for the test's span: capture reads
// `input`, output goes to a file.
class DiskAudio {
public:
    DiskAudio(const std::string& input, const std::string& output)
    {
        platform::ShutdownSound();
        for (const char* name :
            { "SDL_AUDIODRIVER", "SDL_DISKAUDIOFILEIN", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY" }) {
            const char* value = std::getenv(name);
            m_saved.push_back({ name, value != nullptr ? std::optional<std::string>(value) : std::nullopt });
        }
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
    ~DiskAudio()
    {
        platform::ShutdownSound();
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }
    DiskAudio(const DiskAudio&) = delete;
    DiskAudio& operator=(const DiskAudio&) = delete;

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

// A tone for the "microphone" of the disk audio driver, written as raw samples.
inline std::vector<int16_t> WriteMicrophoneTone(const QString& path, size_t count = 8000)
{
    std::vector<int16_t> tone(count);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(8000 * std::sin(0.05 * static_cast<double>(i)));
    QFile input(path);
    EXPECT_TRUE(input.open(QIODevice::WriteOnly));
    input.write(reinterpret_cast<const char*>(tone.data()), static_cast<qint64>(tone.size() * 2));
    return tone;
}

// One tap on a date or time field's arrow, from a value to the value expected.
struct ArrowStep {
    int field, spin;
    const char* from;
    bool up;
    const char* to;
};

inline void ExpectArrowSteps(ControlHost& dialog, std::initializer_list<ArrowStep> steps)
{
    for (const ArrowStep& s : steps) {
        dialog.SetDlgItemText(s.field, QString::fromUtf8(s.from));
        auto* arrows = dialog.GetDlgItemAs<CUpDownButtons>(s.spin);
        ASSERT_NE(arrows, nullptr);
        QTest::mouseClick(s.up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.GetDlgItemText(s.field), QString::fromUtf8(s.to))
            << s.field << (s.up ? " up" : " down") << " from " << s.from;
    }
}

} // namespace search_testing
