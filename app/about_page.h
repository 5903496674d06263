#pragma once
// The About page (the product line with the version and the open map, the
// maker's contact lines, the legal notices), the version texts it shares with
// the loading window, a text display with an Accept and a Decline button, and
// two small helpers that put a text into a window.
#include "ui/dialog.h"
#include "ui/property_page.h"

#include <QPixmap>
#include <QString>

class QWidget;

enum : int {
    IDD_ABOUT = 715,
    IDD_LICENSE_AGREEMENT = 710,
    IDC_ABOUT_PRODUCT = 1041,
    IDC_ABOUT_CONTACTS = 1093,
    IDC_ABOUT_NOTICES = 1208,
    IDC_ABOUT_WHERE_TO_BUY = 1327,
    IDC_ABOUT_ICON = 1328,
    IDC_LICENSE_TEXT = 1050,
    IDC_LICENSE_ACCEPT = 1251,
};

// The application icon (program resource 100), transparent where it is magenta.
inline constexpr int kApplicationIconId = 100;
QPixmap ApplicationIcon();

// The program's version: 2.4.272, release letter "R".
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 4;
inline constexpr int kVersionBuild = 272;
inline constexpr char kVersionSuffix[] = "R";

// The product line ("Travenor Pro Voradu", then "v.2.4.272R. map:<map title>"),
// the legal notices and the contact lines in the interface language, and the
// short version ("v.2.4.272R."). Always true.
bool BuildVersionStrings(QString& productLine, QString& notices, QString& contacts, QString& shortVersion);

// Puts a UTF-16 text file of `folder` into `window` (an edit, a label, or any
// window's title). A byte-order mark at the start is dropped; false, after
// telling the user, when the file is missing, empty or unreadable.
bool LoadTextFileIntoWindow(const QString& folder, const QString& name, QWidget* window);

// The window's text := `value`; with a printf format (one int), the value formatted.
void SetWindowTextFormat(QWidget* window, const QString& value);
void SetWindowTextFormat(QWidget* window, const char* format, int value);

class CPageAbout : public CPropertyPage {
public:
    CPageAbout();

    QString m_productLine; // 1041
    QString m_contacts; // 1093
    QString m_notices; // 1208

    bool OnInitDialog() override;

protected:
    void CreateControls() override;
    bool DoDataExchange(bool save) override;
};

// A text file in a read-only field, with "Согласен (Accept)" and "Не согласен
// (Decline)". Accepting ends the dialog with 1 and sets m_accepted; declining
// cancels it.
class CLicenseAgreementDlg : public CDialog {
public:
    explicit CLicenseAgreementDlg(QWidget* parent = nullptr);

    QString m_folder; // where "license.txt" lies; empty: the program folder
    QString m_fileName = QStringLiteral("license.txt");
    int32_t m_accepted = 0;

    bool OnInitDialog() override;

protected:
    void CreateControls(QWidget* body) override;
    bool OnCommand(int id, int code) override;
};
