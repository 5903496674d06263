// The Information page as a user taps it: About opens the program's About
// page over the sheet, and the help buttons open the shipped help documents
// at their places, in whatever viewer the desktop has for them.
#include "app/about_page.h"
#include "settings/settings_sheets.h"
#include "tests/settings/settings_pages_support.h"
#include "tests/support/modal_answer.h"
#include "tests/support/program_folder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTextBrowser>

using namespace settingstest;

namespace {

// The desktop's viewer for local files, for the test's span: a text browser,
// which opens what it is given.
class ScopedFileViewer {
public:
    ScopedFileViewer() { QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "setSource"); }
    ~ScopedFileViewer() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    ScopedFileViewer(const ScopedFileViewer&) = delete;
    ScopedFileViewer& operator=(const ScopedFileViewer&) = delete;

    QTextBrowser viewer;
};

} // namespace

TEST(InformationPage, HelpLawsAndFinesOpenTheShippedDocumentsAtTheirPlaces)
{
    SettingsProgram program;
    for (const char* name : { "TravenorProHelp.htm", "Pdd.htm" })
        ASSERT_TRUE(QFile::copy(testing_support::BuildDataFolder() + QLatin1Char('/') + QLatin1String(name),
            QDir(program.rig.ProgramFolder()).filePath(QLatin1String(name))))
            << name;
    ScopedFileViewer files;
    const struct {
        int button;
        const char* file;
        const char* place;
        const char* text; // something the document says there
    } cases[] = {
        { IDC_INFO_HELP, "TravenorProHelp.htm", "Main_Contents", "route wizard" },
        { IDC_INFO_LAWS, "Pdd.htm", "Main_Contents", "rules of the road" },
        { IDC_INFO_FINES, "Pdd.htm", "28", "Fines" },
    };
    g_language = LANGUAGE_ENGLISH;
    CSheetInformation sheet(QStringLiteral("Information"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageInformation& page = sheet.m_information;
    for (const auto& c : cases) {
        files.viewer.clear();
        Tap(page, c.button);
        const QUrl shown = files.viewer.source();
        EXPECT_EQ(shown.fileName(), QLatin1String(c.file)) << c.button;
        EXPECT_EQ(shown.fragment(), QLatin1String(c.place)) << c.button;
        EXPECT_TRUE(files.viewer.toPlainText().contains(QLatin1String(c.text))) << c.button;
    }

    // Without the documents the buttons open nothing and the page stays.
    QFile::remove(QDir(program.rig.ProgramFolder()).filePath(QStringLiteral("Pdd.htm")));
    Tap(page, IDC_INFO_LAWS);
    EXPECT_EQ(files.viewer.source().fragment(), QStringLiteral("28")) << "still the fines of before";
    EXPECT_TRUE(sheet.isVisible());
    Tap(sheet, platform::IDCANCEL);
}

TEST(InformationPage, AboutOpensOverTheSheetAndTheTextsFollowTheLanguage)
{
    SettingsProgram program;
    g_language = LANGUAGE_RUSSIAN;
    CSheetInformation sheet(QStringLiteral("Информация"), nullptr);
    ASSERT_TRUE(sheet.Create());
    CPageInformation& page = sheet.m_information;
    EXPECT_EQ(page.GetDlgItemText(IDC_INFO_ABOUT), QStringLiteral("О Travenor Pro"));
    EXPECT_EQ(page.GetDlgItemText(IDC_INFO_FINES), QStringLiteral("Штрафы"));
    bool aboutShown = false;
    testing_support::WhenModalOpens([&](QWidget* window) {
        auto* about = dynamic_cast<CPropertySheet*>(window);
        ASSERT_NE(about, nullptr);
        aboutShown = dynamic_cast<CPageAbout*>(about->GetActivePage()) != nullptr;
        Tap(*about, platform::IDCANCEL);
    });
    Tap(page, IDC_INFO_ABOUT);
    EXPECT_TRUE(aboutShown);

    // Another language shows the next time the page becomes active.
    g_language = LANGUAGE_ENGLISH;
    EXPECT_EQ(page.GetDlgItemText(IDC_INFO_LAWS), QStringLiteral("ПДД"));
    page.OnSetActive();
    EXPECT_EQ(page.GetDlgItemText(IDC_INFO_LAWS), QStringLiteral("Laws"));
    EXPECT_EQ(page.GetDlgItemText(IDC_INFO_PROGRAM_GROUP), QStringLiteral("Program information"));
    Tap(sheet, platform::IDCANCEL);
}
