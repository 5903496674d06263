#pragma once
// Pictures of the drawing surface compared with stored ones: the surface as a
// QImage, the share of pixels two pictures differ in, and the comparison with
// tests/<folder>/golden/<name>.png (TRAVENOR_UPDATE_GOLDEN=1 stores the
// picture instead; look at it first). Every run leaves its picture in the
// working folder to look at. Header-only.
#include "drawlib/draw_tool.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

namespace testing_support {

inline QImage SurfacePicture(CDrawTool& tool)
{
    const int w = tool.GetWidth(), h = tool.GetHeight();
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = uint32_t(tool.GetPixel(x, y, false));
            image.setPixel(x, y, qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF));
        }
    return image;
}

// Share of pixels that differ; 1 for pictures of different sizes.
inline double PictureDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    int64_t differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differ += a.pixel(x, y) != b.pixel(x, y);
    return double(differ) / (double(a.width()) * a.height());
}

// `folder` is the test folder below tests/ ("nav", "controls").
inline void ExpectGoldenPicture(
    const QImage& picture, const QString& folder, const QString& name, double tolerance = 0.002)
{
    picture.save(name + QStringLiteral(".png"));
    const QString golden = QStringLiteral(TRAVENOR_TEST_SOURCE_DIR "/") + folder + QStringLiteral("/golden/")
        + name + QStringLiteral(".png");
    if (std::getenv("TRAVENOR_UPDATE_GOLDEN")) {
        QDir().mkpath(QFileInfo(golden).path());
        ASSERT_TRUE(picture.save(golden));
        return;
    }
    const QImage stored(golden);
    ASSERT_FALSE(stored.isNull()) << golden.toStdString()
                                  << " is missing (TRAVENOR_UPDATE_GOLDEN=1 stores it)";
    EXPECT_LE(PictureDifference(picture, stored.convertToFormat(QImage::Format_RGB32)), tolerance)
        << name.toStdString();
}

} // namespace testing_support
