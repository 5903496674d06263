#pragma once
// The settings sheets the settings menu opens: the base with the entry's name
// as caption and the tab titles in the interface language, and one sheet per
// settings area with its pages as members.
#include "settings/gps_pages.h"
#include "settings/hardware_buttons_page.h"
#include "settings/information_page.h"
#include "settings/route_pages.h"
#include "settings/settings_pages.h"
#include "settings/system_pages.h"
#include "settings/toolbar_pages.h"
#include "settings/traffic_pages.h"
#include "settings/transparent_button_pages.h"
#include "ui/property_sheet_full_screen.h"

#include <QString>
#include <QStringList>

class CSettingsSheet : public CPropertySheetFullScreen {
public:
    CSettingsSheet(const QString& caption, QWidget* parent);

    // The tab titles in the interface language, one per page in tab order.
    virtual void SetTabTitles() = 0;
    void done(int result) override;

protected:
    void InitTabTexts() override;
    // Titles by language for the pages in order.
    void SetTitles(const QStringList& english, const QStringList& russian);
    // The tabs' inner margins (horizontal x vertical) in pixels.
    virtual QSize TabPadding() const;

private:
    static constexpr double kSmallestTabPoints = 6.0;
    static constexpr int kSmallestTabPixels = 8;
    void FitTabTitles();

    bool m_ended = false;
};

// "Language": the interface language.
class CSheetLanguage : public CSettingsSheet {
public:
    CSheetLanguage(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageLanguage m_language;
};

// "General": the interface mode, the settings files and the connections.
class CSheetGeneral : public CSettingsSheet {
public:
    CSheetGeneral(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageMode m_mode;
    CPageSettingsFiles m_files;
    CPageBluetooth m_bluetooth;
};

// "GPS": the source, the NMEA log and the replay.
class CSheetGps : public CSettingsSheet {
public:
    CSheetGps(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageGpsSettings m_settings;
    CPageNmeaWrite m_write;
    CPageNmeaRead m_read;
};

// "Traffic & Blocks": the jams and the disabled roads.
class CSheetTraffic : public CSettingsSheet {
public:
    CSheetTraffic(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageJams m_jams;
    CPageBlocks m_blocks;
};

// "Driving": the orientation panel and the turn notifications.
class CSheetDriving : public CSettingsSheet {
public:
    CSheetDriving(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageGeneral m_general;
    CPageTips m_tips;
};

// "Appearance": the map's font size.
class CSheetMap : public CSettingsSheet {
public:
    CSheetMap(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageAppearance m_appearance;
};

// "Sound": the device's volume and system sounds.
class CSheetSound : public CSettingsSheet {
public:
    CSheetSound(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageSound m_sound;
};

// "Route": how routes are built, announced, kept in files and guided.
class CSheetRoute : public CSettingsSheet {
public:
    CSheetRoute(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageRouteGeneral m_general;
    CPageRouteTips m_tips;
    CPageRouteFiles m_files;
    CPageRouteProperties m_properties;
};

// "Hardware buttons": the commands of the device's buttons.
class CSheetHardwareButtons : public CSettingsSheet {
public:
    CSheetHardwareButtons(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageHardwareButtons m_buttons;
};

// "Information": About, the help and the rules of the road.
class CSheetInformation : public CSettingsSheet {
public:
    CSheetInformation(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageInformation m_information;
};

// "Toolbars": the two on-map button bars and the other display switches.
class CSheetToolbars : public CSettingsSheet {
public:
    CSheetToolbars(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageToolbars m_top;
    CPageToolbars m_bottom;
    CPageOther m_other;

protected:
    QSize TabPadding() const override { return QSize(8, 3); }
};

// "Transparent buttons": their brightness and what each of them does.
class CSheetTransparentButtons : public CSettingsSheet {
public:
    CSheetTransparentButtons(const QString& caption, QWidget* parent);
    void SetTabTitles() override;

    CPageBrightness m_brightness;
    CPageButtonValues m_values;

protected:
    QSize TabPadding() const override { return QSize(8, 3); }
};
