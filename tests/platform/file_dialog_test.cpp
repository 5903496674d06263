#include "platform/file_dialog.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(FileDialog, FilterStringsBecomeNameFilters)
{
    EXPECT_EQ(FileDialogNameFilters(QStringLiteral("Jam Files (*.dt) | *.dt | All Files (*.*)| *.* ||")),
        QStringList({ QStringLiteral("Jam Files (*.dt)"), QStringLiteral("All Files (*.*)") }));
    EXPECT_EQ(FileDialogNameFilters(QStringLiteral("wav Files (*.wav)|*.wav||")),
        QStringList({ QStringLiteral("wav Files (*.wav)") }));
    EXPECT_EQ(FileDialogNameFilters(QStringLiteral("Pictures|*.bmp;*.jpg||")),
        QStringList({ QStringLiteral("Pictures (*.bmp *.jpg)") }));
    EXPECT_TRUE(FileDialogNameFilters(QString()).isEmpty());
}

TEST(FileDialog, AnswererChoosesAndTheDefaultExtensionIsAdded)
{
    FileDialogRequest seen;
    std::optional<QString> answer = QStringLiteral("/tmp/route");
    SetFileDialogAnswerer([&](const FileDialogRequest& r) {
        seen = r;
        return answer;
    });
    FileDialogRequest request;
    request.open = false;
    request.defaultExt = QStringLiteral("rt");
    request.fileName = QStringLiteral("*.rt");
    request.flags = OFN_OVERWRITEPROMPT;
    EXPECT_EQ(ShowFileDialog(nullptr, request), QStringLiteral("/tmp/route.rt"));
    EXPECT_FALSE(seen.open);
    EXPECT_EQ(seen.fileName, QStringLiteral("*.rt"));

    answer = QStringLiteral("/tmp/route.txt");
    EXPECT_EQ(ShowFileDialog(nullptr, request), QStringLiteral("/tmp/route.txt"));
    answer = std::nullopt;
    EXPECT_EQ(ShowFileDialog(nullptr, request), std::nullopt);
    SetFileDialogAnswerer({});
}
