// The About page and the text display: their texts in both languages, the
// text loader's handling of the file, and pictures of both for a person.
#include "app/about_page.h"

#include "app/map_set.h"

#include "foundation/language.h"
#include "platform/message_box.h"
#include "tests/app/app_rig.h"
#include "tests/support/screenshot.h"
#include "ui/property_sheet_full_screen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray Utf16File(const QString& text, bool byteOrderMark)
{
    QByteArray bytes;
    if (byteOrderMark)
        bytes.append("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class Language {
public:
    explicit Language(int language)
        : m_saved(g_language)
    {
        g_language = language;
    }
    ~Language() { g_language = m_saved; }

private:
    int m_saved;
};

TEST(About, VersionTextsAndTheProductLine)
{
    QString product, notices, contacts, version;
    for (const int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
        Language scoped(language);
        EXPECT_TRUE(BuildVersionStrings(product, notices, contacts, version));
        EXPECT_EQ(version, QStringLiteral("v.2.4.272R."));
        // No map open: the line ends in "map:".
        g_mapFileName.clear();
        BuildVersionStrings(product, notices, contacts, version);
        EXPECT_EQ(product, QStringLiteral("Travenor Pro Voradu\nv.2.4.272R. map:"));
        g_mapFileName = QStringLiteral("mskmo0704.tzx");
        BuildVersionStrings(product, notices, contacts, version);
        EXPECT_EQ(product, QStringLiteral("Travenor Pro Voradu\nv.2.4.272R. map:mskmo0704"));
        g_mapFileName.clear();
        EXPECT_EQ(notices.contains(QStringLiteral("Все права защищены")), language == LANGUAGE_RUSSIAN);
        EXPECT_EQ(contacts.contains(QStringLiteral("Тел.")), language == LANGUAGE_RUSSIAN);
    }
}

TEST(About, TheTextLoaderDropsOnlyAByteOrderMark)
{
    QTemporaryDir folder;
    struct Case {
        const char* name;
        QByteArray bytes;
        bool loaded;
        QString text;
    };
    const Case cases[] = {
        { "with mark.txt", Utf16File(QStringLiteral("Лицензия\nLicence"), true), true,
            QStringLiteral("Лицензия\nLicence") },
        { "without mark.txt", Utf16File(QStringLiteral("Licence"), false), true, QStringLiteral("Licence") },
        { "odd.txt", Utf16File(QStringLiteral("ab"), true) + "c", true, QStringLiteral("ab") },
        { "one byte.txt", QByteArray("x"), true, QString() },
        { "empty.txt", QByteArray(), false, QStringLiteral("before") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder.filePath(QLatin1String(c.name)), c.bytes);
        std::vector<platform::MessageBoxRequest> boxes;
        platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& r) {
            boxes.push_back(r);
            return platform::IDOK;
        });
        QPlainTextEdit window;
        window.setPlainText(QStringLiteral("before"));
        EXPECT_EQ(LoadTextFileIntoWindow(folder.path(), QLatin1String(c.name), &window), c.loaded);
        EXPECT_EQ(window.toPlainText(), c.text);
        EXPECT_EQ(boxes.size(), c.loaded ? 0u : 1u);
        platform::SetMessageBoxAnswerer({});
    }

    std::vector<platform::MessageBoxRequest> boxes;
    platform::SetMessageBoxAnswerer([&](const platform::MessageBoxRequest& r) {
        boxes.push_back(r);
        return platform::IDOK;
    });
    QLabel label;
    EXPECT_FALSE(LoadTextFileIntoWindow(folder.path(), QStringLiteral("license.txt"), &label));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
        QStringLiteral(
            "Файл \"license.txt\" не найден или не может быть открыт. Он должен находиться в той же "
            "директории, что и Travenor Pro.exe. File \"license.txt\" not found or cannot be opened. "
            "It must be in the same folder as Travenor Pro.exe."));
    platform::SetMessageBoxAnswerer({});
}

TEST(About, TheTextDisplayAcceptsOrCancels)
{
    for (const bool accept : { true, false }) {
        apptest::AppRig rig;
        WriteFile(QDir(rig.ProgramFolder()).filePath(QStringLiteral("license.txt")),
            Utf16File(QStringLiteral("Лицензионное соглашение"), true));
        CLicenseAgreementDlg dialog;
        ASSERT_TRUE(dialog.Create());
        EXPECT_EQ(dialog.GetDlgItemText(IDC_LICENSE_TEXT), QStringLiteral("Лицензионное соглашение"));
        QTest::mouseClick(
            dialog.GetDlgItem(accept ? int(IDC_LICENSE_ACCEPT) : int(platform::IDCANCEL)), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), accept ? platform::IDOK : platform::IDCANCEL);
        EXPECT_EQ(dialog.m_accepted, accept ? 1 : 0);
    }
}

TEST(About, PagesAndTextDisplayOnBothScreensInBothLanguages)
{
    struct Screen {
        QSize size;
        int dpi;
        const char* name;
    };
    for (const Screen& s :
        { Screen { { 240, 320 }, 96, "240x320" }, Screen { { 640, 480 }, 192, "640x480" } }) {
        for (const int language : { LANGUAGE_ENGLISH, LANGUAGE_RUSSIAN }) {
            const QString suffix = QStringLiteral("%1_%2").arg(
                QLatin1String(s.name), language == LANGUAGE_ENGLISH ? "en" : "ru");
            apptest::AppRig rig(s.size, s.dpi);
            Language scoped(language);
            {
                CPropertySheetFullScreen sheet(QStringLiteral("Travenor Pro"));
                CPageAbout page;
                sheet.AddPage(&page);
                ASSERT_TRUE(sheet.Create());
                QString product, notices, contacts, version;
                BuildVersionStrings(product, notices, contacts, version);
                EXPECT_EQ(page.GetDlgItemText(IDC_ABOUT_PRODUCT), product);
                EXPECT_EQ(page.GetDlgItemText(IDC_ABOUT_NOTICES), notices);
                EXPECT_EQ(page.GetDlgItemText(IDC_ABOUT_CONTACTS), contacts);
                EXPECT_FALSE(page.GetDlgItem(IDC_ABOUT_WHERE_TO_BUY)->isVisible());
                testing_support::SaveScreenshot(sheet, QStringLiteral("about_") + suffix);
            }
            {
                WriteFile(QDir(rig.ProgramFolder()).filePath(QStringLiteral("license.txt")),
                    Utf16File(language == LANGUAGE_ENGLISH
                            ? QStringLiteral("Licence agreement of Travenor Pro.\n\nUse it while you drive, "
                                             "with your eyes on the road.")
                            : QStringLiteral(
                                "Лицензионное соглашение Travenor Pro.\n\nПользуйтесь программой "
                                "за рулём, не отрывая глаз от дороги."),
                        true));
                CLicenseAgreementDlg dialog;
                ASSERT_TRUE(dialog.Create());
                testing_support::SaveScreenshot(dialog, QStringLiteral("license_") + suffix);
            }
        }
    }
}

} // namespace
