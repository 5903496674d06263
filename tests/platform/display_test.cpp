#include "platform/display.h"
#include "platform/options.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace platform;

TEST(Display, FrameCopiedInIsShownByTheWindow)
{
    for (QSize size : { QSize(240, 320), QSize(640, 480), QSize(480, 234) }) {
        platform::Display display(size, 96);
        DeviceScreen screen(display);
        screen.show();
        EXPECT_EQ(screen.size(), size);

        // A frame with a distinct colour in each corner, rows padded in the source.
        const int stride = size.width() * 2 + 8;
        std::vector<uint16_t> frame(stride / 2 * size.height(), 0x0000);
        auto at = [&](int x, int y) -> uint16_t& { return frame[y * (stride / 2) + x]; };
        at(0, 0) = 0xF800; // red
        at(size.width() - 1, 0) = 0x07E0; // green
        at(0, size.height() - 1) = 0x001F; // blue
        at(size.width() - 1, size.height() - 1) = 0xFFFF;
        display.CopyFrame(frame.data(), stride);

        EXPECT_EQ(display.Pixel(0, 0), 0xF800);
        EXPECT_EQ(display.Pixel(size.width() - 1, 0), 0x07E0);
        EXPECT_EQ(display.Pixel(0, size.height() - 1), 0x001F);
        EXPECT_EQ(display.Pixel(size.width() - 1, size.height() - 1), 0xFFFF);
        EXPECT_EQ(display.Pixel(size.width(), 0), 0) << "outside the screen reads as 0";

        QApplication::processEvents();
        const QImage shown = screen.grab().toImage();
        ASSERT_EQ(shown.size(), size);
        EXPECT_EQ(shown.pixelColor(0, 0), QColor(255, 0, 0));
        EXPECT_EQ(shown.pixelColor(size.width() - 1, 0), QColor(0, 255, 0));
        EXPECT_EQ(shown.pixelColor(0, size.height() - 1), QColor(0, 0, 255));
        EXPECT_EQ(shown.pixelColor(1, 1), QColor(0, 0, 0));
    }
}

// The frame buffer may outlive its window (shut-down order, a window closed
// while frames still arrive): a frame presented then reaches no dead window.
TEST(Display, FrameAfterTheWindowIsGoneIsKeptWithoutAWindow)
{
    const QSize size(240, 320);
    platform::Display display(size, 96);
    auto screen = std::make_unique<DeviceScreen>(display);
    screen.reset();
    const std::vector<uint16_t> frame(size_t(size.width()) * size.height(), 0x07E0);
    display.CopyFrame(frame.data(), size.width() * 2);
    QApplication::processEvents();
    EXPECT_EQ(display.Pixel(10, 10), 0x07E0);

    // A new window takes over, and is the one that is shown.
    DeviceScreen next(display);
    display.Present();
    QApplication::processEvents();
    EXPECT_EQ(next.grab().toImage().pixelColor(10, 10), QColor(0, 255, 0));
}

TEST(Options, ParsesScreenDpiAndFolders)
{
    QString error;
    auto o = ParseOptions({ "--screen", "480x640", "--dpi", "192", "--data", "/d", "--documents", "/docs",
                              "x.kns", "--driving-mode" },
        &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_EQ(o->screen, QSize(480, 640));
    EXPECT_EQ(o->dpi, 192);
    EXPECT_EQ(o->dataDir, "/d");
    EXPECT_EQ(o->documentsDir, "/docs");
    EXPECT_EQ(o->settingsFile, "x.kns");
    EXPECT_TRUE(o->drivingMode);

    auto d = ParseOptions({}, &error);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->screen, QSize(240, 320));
    EXPECT_EQ(d->dpi, 96);
    EXPECT_FALSE(d->drivingMode);
}

TEST(Options, RefusesBadInputWithAClearMessage)
{
    const std::vector<QStringList> bad {
        { "--screen", "800x600" },
        { "--screen", "wide" },
        { "--screen" },
        { "--dpi", "120" },
        { "--data" },
        { "--frobnicate" },
        { "a.kns", "b.kns" },
    };
    for (const QStringList& args : bad) {
        QString error;
        EXPECT_FALSE(ParseOptions(args, &error)) << args.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}
