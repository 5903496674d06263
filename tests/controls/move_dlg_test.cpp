// The "Move" dialog over the Voradu map: the two places shown as degrees,
// minutes and hemisphere, typed centres that move the map, and typed fields
// that keep the dialog open until they are mended.
#include "controls/move_dlg.h"

#include "controls/map_popup_menu.h"
#include "controls/popup_command_wnd.h"
#include "platform/message_box.h"
#include "platform/process_object.h"
#include "search/waypoint.h"
#include "search/waypoint_props_dlg.h"
#include "tests/controls/widget_rig.h"
#include "tests/support/modal_answer.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using controlstest::WidgetRig;

constexpr double kDegree = M_PI / 180.0;

CGeoPos At(double latitudeDegrees, double longitudeDegrees)
{
    CGeoPos position;
    EXPECT_TRUE(position.SetChecked(latitudeDegrees, longitudeDegrees, false));
    return position;
}

TEST(MoveDialog, PlacesShowAsDegreesMinutesAndHemisphere)
{
    const struct {
        double degrees;
        CGeoAngle::Axis axis;
        int whole;
        QString minutes;
        QString hemisphere;
    } table[] = {
        { 55.5, CGeoAngle::LATITUDE, 55, QStringLiteral("30"), QStringLiteral("N") },
        { -37.25, CGeoAngle::LATITUDE, 37, QStringLiteral("15"), QStringLiteral("S") },
        { 38.2, CGeoAngle::LONGITUDE, 38, QStringLiteral("12"), QStringLiteral("E") },
        { -0.5, CGeoAngle::LONGITUDE, 0, QStringLiteral("30"), QStringLiteral("W") },
        { 0.0, CGeoAngle::LATITUDE, 0, QStringLiteral("0"), QStringLiteral("N") },
        // Minutes that would round up to 60 carry into the degrees.
        { 10.0 - 1e-9, CGeoAngle::LONGITUDE, 10, QStringLiteral("0"), QStringLiteral("E") },
        { 56.123456, CGeoAngle::LATITUDE, 56, QStringLiteral("7.4074"), QStringLiteral("N") },
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.degrees);
        const DegMinFields fields = AngleToFields(CGeoAngle(row.axis, row.degrees * kDegree));
        EXPECT_EQ(fields.degrees, row.whole);
        EXPECT_EQ(FormatMinutes(fields.minutes), row.minutes);
        EXPECT_EQ(fields.hemisphere, row.hemisphere);
    }
}

class MoveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetMessageBoxAnswerer([this](const platform::MessageBoxRequest& request) {
            m_boxes.push_back(request.text);
            return platform::IDOK;
        });
    }
    void TearDown() override { platform::SetMessageBoxAnswerer({}); }

    CGeoPos Centre()
    {
        CGeoPos centre;
        EXPECT_EQ(m_rig.Controller().GetCentreGeoPosition(centre), 1);
        return centre;
    }

    WidgetRig m_rig;
    std::vector<QString> m_boxes;
};

struct Typed {
    const char* what;
    QString latDegrees, latMinutes, latHemisphere, lonDegrees, lonMinutes, lonHemisphere;
    // The centre the map moves to, or the field named when it stays.
    double latitude, longitude;
    int refusedField;
};

TEST_F(MoveDialogTest, TheMapMovesOnlyToACentreTypedWhole)
{
    CMapController& controller = m_rig.Controller();
    const Typed table[] = {
        { "Voradu's centre", "56", "6", "N", "38", "12", "E", 56.1, 38.2, 0 },
        { "a comma, lower case letters, spaces", " 56 ", "7,5", "n", "38", "13.2", "e", 56.125, 38.22, 0 },
        { "latitude beyond 90", "91", "0", "N", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_DEGREES },
        { "90 and minutes", "90", "0.5", "N", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_MINUTES },
        { "minutes of 60", "56", "60", "N", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_MINUTES },
        { "longitude beyond 180", "56", "6", "N", "181", "0", "E", 0, 0, IDC_MOVE_CENTRE_LON_DEGREES },
        { "negative degrees", "-56", "6", "N", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_DEGREES },
        { "letters for degrees", "abc", "6", "N", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_DEGREES },
        { "not a number", "56", "nan", "N", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_MINUTES },
        { "an exponent", "56", "6", "N", "38", "1e1", "E", 0, 0, IDC_MOVE_CENTRE_LON_MINUTES },
        { "no hemisphere", "56", "6", "", "38", "12", "E", 0, 0, IDC_MOVE_CENTRE_LAT_HEMISPHERE },
        { "a longitude's letter for the latitude", "56", "6", "E", "38", "12", "E", 0, 0,
            IDC_MOVE_CENTRE_LAT_HEMISPHERE },
        { "another letter", "56", "6", "N", "38", "12", "Q", 0, 0, IDC_MOVE_CENTRE_LON_HEMISPHERE },
    };
    for (const Typed& row : table) {
        SCOPED_TRACE(row.what);
        const CGeoPos start = At(56.1, 38.2);
        controller.SetCentreGeoPosition(start);
        const int32_t x = controller.GetCentreX(), y = controller.GetCentreY();
        m_boxes.clear();
        CMoveDlg dialog;
        dialog.SetPositions(Centre(), At(56.11, 38.21));
        ASSERT_TRUE(dialog.Create());
        const std::pair<int, QString> fields[] = {
            { IDC_MOVE_CENTRE_LAT_DEGREES, row.latDegrees },
            { IDC_MOVE_CENTRE_LAT_MINUTES, row.latMinutes },
            { IDC_MOVE_CENTRE_LAT_HEMISPHERE, row.latHemisphere },
            { IDC_MOVE_CENTRE_LON_DEGREES, row.lonDegrees },
            { IDC_MOVE_CENTRE_LON_MINUTES, row.lonMinutes },
            { IDC_MOVE_CENTRE_LON_HEMISPHERE, row.lonHemisphere },
        };
        for (const auto& [id, text] : fields)
            dialog.SetDlgItemText(id, text);
        ASSERT_TRUE(dialog.ClickDlgItem(IDC_MOVE_SHOW_MAP));
        if (row.refusedField == 0) {
            EXPECT_FALSE(dialog.IsOpen());
            EXPECT_EQ(dialog.result(), platform::IDOK);
            EXPECT_TRUE(m_boxes.empty());
            const CGeoPos centre = Centre();
            EXPECT_NEAR(centre.GetLatitude().GetRadians() / kDegree, row.latitude, 2e-5);
            EXPECT_NEAR(centre.GetLongitude().GetRadians() / kDegree, row.longitude, 2e-5);
        } else {
            EXPECT_TRUE(dialog.IsOpen()) << "the dialog waits for the field to be mended";
            ASSERT_EQ(m_boxes.size(), 1u);
            EXPECT_EQ(dialog.focusWidget(), dialog.GetDlgItem(row.refusedField))
                << "the focus is on the field to mend";
            EXPECT_EQ(controller.GetCentreX(), x);
            EXPECT_EQ(controller.GetCentreY(), y);
            dialog.ClickDlgItem(platform::IDCANCEL);
            EXPECT_FALSE(dialog.IsOpen());
        }
    }
}

TEST_F(MoveDialogTest, ItShowsBothPlacesAndOtherHemispheresMoveTheMapToItsEdge)
{
    CMapController& controller = m_rig.Controller();
    CMoveDlg dialog;
    dialog.SetPositions(At(-33.875, -151.21), At(56.1, 38.2));
    ASSERT_TRUE(dialog.Create());
    const std::pair<int, QString> shown[] = {
        { IDC_MOVE_CENTRE_LAT_DEGREES, "33" },
        { IDC_MOVE_CENTRE_LAT_MINUTES, "52.5" },
        { IDC_MOVE_CENTRE_LAT_HEMISPHERE, "S" },
        { IDC_MOVE_CENTRE_LON_DEGREES, "151" },
        { IDC_MOVE_CENTRE_LON_MINUTES, "12.6" },
        { IDC_MOVE_CENTRE_LON_HEMISPHERE, "W" },
        { IDC_MOVE_POINTED_LAT_DEGREES, "56" },
        { IDC_MOVE_POINTED_LAT_MINUTES, "6" },
        { IDC_MOVE_POINTED_LAT_HEMISPHERE, "N" },
        { IDC_MOVE_POINTED_LON_DEGREES, "38" },
        { IDC_MOVE_POINTED_LON_MINUTES, "12" },
        { IDC_MOVE_POINTED_LON_HEMISPHERE, "E" },
        { IDC_MOVE_SHOW_MAP, "Show map ->" },
        { IDC_MOVE_CENTRE_GROUP, "Coordinates of map's centre is:" },
    };
    for (const auto& [id, text] : shown)
        EXPECT_EQ(dialog.GetDlgItemText(id), text) << id;
    EXPECT_TRUE(dialog.GetDlgItemAs<QLineEdit>(IDC_MOVE_POINTED_LAT_DEGREES)->isReadOnly());
    EXPECT_EQ(dialog.GetWaypointName(), QStringLiteral("waypoint")) << "no address looked up yet";
    // A place far beyond Voradu: the map goes as far as it reaches.
    ASSERT_TRUE(dialog.ClickDlgItem(IDC_MOVE_SHOW_MAP));
    EXPECT_FALSE(dialog.IsOpen());
    const ZXS_Rect bounds = controller.GetMapBounds();
    EXPECT_GE(controller.GetCentreX(), bounds.left);
    EXPECT_LE(controller.GetCentreX(), bounds.right);
    EXPECT_GE(controller.GetCentreY(), bounds.top);
    EXPECT_LE(controller.GetCentreY(), bounds.bottom);
}

// The menu's message for the dialog opens it on the view's centre and the
// pressed point, and not at all for a point with no place on the Earth.
TEST_F(MoveDialogTest, TheMenusMessageOpensItOnlyForPlacesWithCoordinates)
{
    CMapController& controller = m_rig.Controller();
    controller.SetCentreGeoPosition(At(56.1, 38.2));
    PopupContext request;
    request.kind = POPUP_MAP;
    request.centreX = controller.GetCentreX();
    request.centreY = controller.GetCentreY();
    ZXS_Point pressed;
    ASSERT_TRUE(controller.ScreenToMap({ 30, 40 }, pressed));
    request.mapX = pressed.x;
    request.mapY = pressed.y;
    CPopupCommandWnd window;
    QString centreLatitude, pointedLatitude;
    int opened = 0;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = dynamic_cast<CMoveDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        ++opened;
        centreLatitude = dialog->GetDlgItemText(IDC_MOVE_CENTRE_LAT_DEGREES) + QLatin1Char(' ')
            + dialog->GetDlgItemText(IDC_MOVE_CENTRE_LAT_MINUTES);
        pointedLatitude = dialog->GetDlgItemText(IDC_MOVE_POINTED_LAT_HEMISPHERE);
        dialog->ClickDlgItem(platform::IDCANCEL);
    });
    window.Execute(POPUP_MSG_MOVE_DIALOG, request);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(centreLatitude.section(u' ', 0, 0), QStringLiteral("56"));
    EXPECT_NEAR(centreLatitude.section(u' ', 1, 1).toDouble(), 6.0, 0.01)
        << "within a map unit of the centre";
    EXPECT_EQ(pointedLatitude, QStringLiteral("N"));

    request.mapX = request.mapY = kNoMapPoint;
    window.Execute(POPUP_MSG_MOVE_DIALOG, request);
    EXPECT_EQ(opened, 1) << "no dialog without the pressed point's coordinates";
}

// "Add waypoint..." opens the waypoint properties dialog on the pointed place;
// its OK adds the waypoint there, and the Move dialog stays open.
TEST_F(MoveDialogTest, AddWaypointOpensThePropertiesOfThePointedPlace)
{
    platform::ScopedProcessObject<CWaypointList> waypoints { g_waypoints };
    CMoveDlg dialog;
    dialog.SetPositions(Centre(), At(56.11, 38.21));
    QString latitude;
    bool stayedOpen = false;
    testing_support::WhenModalOpens([&](QWidget* modal) {
        auto* move = dynamic_cast<CMoveDlg*>(modal);
        ASSERT_NE(move, nullptr);
        testing_support::WhenModalOpens([&](QWidget* inner) {
            auto* props = dynamic_cast<CWaypointPropsDlg*>(inner);
            ASSERT_NE(props, nullptr);
            latitude = props->GetDlgItemText(IDC_WPP_LAT_DEGREES) + QLatin1Char(' ')
                + props->GetDlgItemText(IDC_WPP_LAT_MINUTES) + QLatin1Char(' ')
                + props->GetDlgItemText(IDC_WPP_LAT_HEMISPHERE);
            props->SetDlgItemText(IDC_WPP_NAME, QStringLiteral("Мост"));
            props->ClickDlgItem(platform::IDOK);
        });
        move->ClickDlgItem(IDC_MOVE_ADD_WAYPOINT);
        stayedOpen = QApplication::activeModalWidget() == move;
        move->ClickDlgItem(platform::IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(latitude.section(u' ', 0, 0), QStringLiteral("56"));
    EXPECT_NEAR(latitude.section(u' ', 1, 1).toDouble(), 6.6, 0.01);
    EXPECT_EQ(latitude.section(u' ', 2, 2), QStringLiteral("N"));
    ASSERT_EQ(g_waypoints->GetWaypointCount(), 1);
    EXPECT_EQ(g_waypoints->GetAt(0)->m_name, QStringLiteral("Мост"));
    EXPECT_TRUE(m_boxes.empty()) << m_boxes.front().toStdString();
}

} // namespace
