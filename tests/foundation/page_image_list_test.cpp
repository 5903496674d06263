#include "foundation/page_image_list.h"
#include "foundation/screen_metrics.h"

#include "platform/options.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class PageImageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = platform::options();
        platform::Options o = saved;
        o.dataDir = data.path();
        o.dpi = 96;
        platform::setOptions(o);
        ResetScreenMetrics();
        const QString folder = data.filePath("resources/qvga");
        QDir().mkpath(folder);
        QFile version(folder + "/version");
        ASSERT_TRUE(version.open(QIODevice::WriteOnly));
        version.write("2.4.272.0");
        // Blank, up and down: magenta with a coloured mark so each is told apart.
        const QColor marks[] = { Qt::magenta, Qt::red, Qt::blue };
        for (int i = 0; i < 3; ++i) {
            QImage image(16, 16, QImage::Format_RGB888);
            image.fill(QColor(255, 0, 255));
            image.setPixelColor(8, 8, marks[i]);
            ASSERT_TRUE(
                image.save(QStringLiteral("%1/%2.bmp").arg(folder).arg(IDB_SORT_BLANK_16 + i), "BMP"));
        }
        list.setColumnCount(3);
    }
    void TearDown() override
    {
        platform::setOptions(saved);
        ResetScreenMetrics();
        SetCachedBitmapReleaser({});
    }
    // The colour at the mark of a column's header picture; magenta shows as transparent.
    QColor markOf(int column)
    {
        const QIcon icon = list.headerItem()->icon(column);
        if (icon.isNull())
            return QColor();
        return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
    }

    QTemporaryDir data;
    platform::Options saved;
    QTreeWidget list;
};

} // namespace

TEST_F(PageImageListTest, ArrowOnTheSortedColumnOnly)
{
    SortState sort { 0, 2 };
    CPageImageList header;
    EXPECT_EQ(header.Create(&list, &sort), 0);
    EXPECT_EQ(header.SortedColumn(), 0);
    EXPECT_EQ(markOf(0), QColor(Qt::blue)) << "descending picture on column 0";
    EXPECT_EQ(markOf(1).alpha(), 0) << "blank elsewhere";
    EXPECT_EQ(markOf(2).alpha(), 0);
    EXPECT_EQ(header.Create(&list, &sort), -1) << "a second Create without Release";
    int released = 0;
    SetCachedBitmapReleaser([&] { ++released; });
    header.Release();
    EXPECT_EQ(released, 1);
    EXPECT_TRUE(list.headerItem()->icon(0).isNull());
}

TEST_F(PageImageListTest, SortRecordPastTheLastColumnIsReset)
{
    SortState sort { 5, 1 };
    CPageImageList header;
    EXPECT_EQ(header.Create(&list, &sort), 0);
    EXPECT_EQ(sort.column, -1);
    EXPECT_EQ(sort.state, 0);
    EXPECT_EQ(header.SortedColumn(), -1);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(markOf(c).alpha(), 0);
}

TEST_F(PageImageListTest, CallersImageListIsUsedAsItIsAndKept)
{
    CImageList own(16);
    QImage blank(16, 16, QImage::Format_RGB888);
    blank.fill(QColor(255, 0, 255));
    QImage up = blank;
    up.setPixelColor(8, 8, Qt::green);
    own.AddMasked(blank, 0xFF00FF);
    own.AddMasked(up, 0xFF00FF);
    SortState sort { 2, 1 };
    {
        CPageImageList header;
        EXPECT_EQ(header.Create(&list, &sort, &own, 0), 0);
        EXPECT_EQ(own.Count(), 2) << "nothing loaded into a given list with a base index";
        EXPECT_EQ(markOf(2), QColor(Qt::green));
    }
    EXPECT_EQ(own.Count(), 2);
    EXPECT_EQ(markOf(2), QColor(Qt::green)) << "a caller's pictures stay";
}
