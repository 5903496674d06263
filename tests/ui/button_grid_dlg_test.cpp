#include "ui/button_grid_dlg.h"

#include "platform/clock.h"
#include "platform/timers.h"
#include "ui_testing.h"

#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {

// The quick menu's cells in the upright layout: index, command.
const int32_t kUpright[8] = { 10001, 10003, 10034, 10017, 10027, 10037, 10020, 2 };

void FillQuickMenu(CButtonGridDlg& grid, const int32_t* commands)
{
    for (int i = 0; i < 8; ++i)
        grid.SetCellByIndex(i, commands[i], QStringLiteral("c%1").arg(i), QString(), 0, 700, 3);
}

void Key(CButtonGridDlg& grid, Qt::Key key)
{
    QWidget* target = grid.GetFocusButton() ? static_cast<QWidget*>(grid.GetFocusButton()) : grid.GetWindow();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    if (!grid.IsOpen())
        return;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

// Where the focus is, as (column, row).
std::pair<int, int> FocusCell(const CButtonGridDlg& grid)
{
    const CKnButton* b = grid.GetFocusButton();
    if (!b)
        return { -1, -1 };
    return { static_cast<int>(b->GetUserData() & 0xFFFF), static_cast<int>(b->GetUserData() >> 16) };
}

// Pictures by id that exist, without a draw tool.
class Pictures {
public:
    Pictures()
    {
        CButtonGridDlg::SetPictureSource({ [this](uint32_t id) -> const QImage* {
                                              auto& image = m_images[id];
                                              if (image.isNull()) {
                                                  image = QImage(40, 40, QImage::Format_RGB32);
                                                  image.fill(Qt::blue);
                                              }
                                              return &image;
                                          },
            [this] { ++released; } });
    }
    ~Pictures() { CButtonGridDlg::SetPictureSource({}); }
    int released = 0;

private:
    std::map<uint32_t, QImage> m_images;
};

} // namespace

TEST(ButtonGridDlg, LaysTheGridOutForTheScreen)
{
    struct Case {
        int w, h, columns, rows, cellW, cellH, windowW;
    };
    const Case cases[] = {
        { 240, 320, 2, 4, 114, 75, 240 },
        { 320, 240, 4, 2, 75, 114, 319 },
        { 240, 240, 2, 4, 114, 55, 239 },
    };
    for (const Case& c : cases) {
        uitest::OnScreen screen(c.w, c.h);
        CButtonGridDlg grid(4, 2);
        FillQuickMenu(grid, kUpright);
        ASSERT_EQ(grid.GetColumns(), c.columns);
        ASSERT_EQ(grid.GetRows(), c.rows);
        ASSERT_TRUE(grid.Create());
        EXPECT_EQ(grid.GetWindow()->width(), c.windowW);
        for (int row = 0; row < c.rows; ++row)
            for (int column = 0; column < c.columns; ++column) {
                CKnButton* b = grid.GetButton(column, row);
                ASSERT_NE(b, nullptr);
                EXPECT_EQ(b->geometry(),
                    QRect(4 + column * (c.cellW + 4), 4 + row * (c.cellH + 4), c.cellW, c.cellH))
                    << c.w << "x" << c.h << " " << column << "," << row;
                // Cells are counted row by row and stored column by column.
                EXPECT_EQ(b->GetDlgCtrlID(), grid.GetCell(column, row).command);
            }
        EXPECT_EQ(grid.GetButton(0, 0)->GetDlgCtrlID(), kUpright[0]);
        EXPECT_EQ(grid.GetButton(1, 0)->GetDlgCtrlID(), kUpright[1]);
        EXPECT_EQ(FocusCell(grid), std::make_pair(0, 0));
        EXPECT_TRUE(platform::IsTimerActive(&grid, 1));
        grid.EndDialog(2);
        EXPECT_FALSE(platform::IsTimerActive(&grid, 1));
    }
}

TEST(ButtonGridDlg, AnEmptyGridHasNoButtonsAndNoTimer)
{
    uitest::OnScreen screen(240, 320);
    CButtonGridDlg grid(0, 2);
    ASSERT_TRUE(grid.Create());
    EXPECT_EQ(grid.GetButton(0, 0), nullptr);
    EXPECT_FALSE(platform::IsTimerActive(&grid, 1));
    // Enter with no button to resolve changes nothing; Escape still cancels.
    Key(grid, Qt::Key_Return);
    EXPECT_TRUE(grid.IsOpen());
    Key(grid, Qt::Key_Escape);
    EXPECT_EQ(grid.Result(), 2);
}

TEST(ButtonGridDlg, ArrowsMoveWithinTheGridEnterChoosesEscapeCancels)
{
    struct Case {
        int w, h;
        std::vector<Qt::Key> keys;
        std::pair<int, int> focus;
    };
    const Case cases[] = {
        { 240, 320, { Qt::Key_Down, Qt::Key_Down, Qt::Key_Right }, { 1, 2 } },
        { 240, 320, { Qt::Key_Up, Qt::Key_Left }, { 0, 0 } }, // at the edges nothing moves
        { 240, 320, { Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right },
            { 1, 3 } },
        { 320, 240, { Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down }, { 3, 1 } },
        { 320, 240, { Qt::Key_Down, Qt::Key_Right, Qt::Key_Up }, { 1, 0 } },
    };
    for (const Case& c : cases) {
        uitest::OnScreen screen(c.w, c.h);
        CButtonGridDlg grid(4, 2);
        FillQuickMenu(grid, kUpright);
        ASSERT_TRUE(grid.Create());
        for (Qt::Key k : c.keys)
            Key(grid, k);
        ASSERT_EQ(FocusCell(grid), c.focus) << c.w;
        const int32_t expected = grid.GetCell(c.focus.first, c.focus.second).command;
        Key(grid, Qt::Key_Return);
        EXPECT_FALSE(grid.IsOpen());
        EXPECT_EQ(grid.Result(), expected);
    }
    uitest::OnScreen screen(320, 240);
    CButtonGridDlg grid(4, 2);
    FillQuickMenu(grid, kUpright);
    ASSERT_TRUE(grid.Create());
    Key(grid, Qt::Key_Right);
    Key(grid, Qt::Key_Escape);
    EXPECT_EQ(grid.Result(), 2);
}

TEST(ButtonGridDlg, TapsEndWithTheCommandButAnInertCellDoesNothing)
{
    uitest::OnScreen screen(240, 320);
    CButtonGridDlg grid(4, 2);
    grid.SetCell(0, 0, 10017, QStringLiteral("Поиск"), QString());
    grid.SetCell(1, 3, 2, QStringLiteral("Отмена"), QString());
    ASSERT_TRUE(grid.Create());
    grid.GetButton(1, 1)->click(); // never set: inert
    EXPECT_TRUE(grid.IsOpen());
    grid.GetButton(1, 3)->click(); // the cancel cell
    EXPECT_EQ(grid.Result(), 2);

    CButtonGridDlg again(4, 2);
    again.SetCell(0, 0, 10017, QStringLiteral("Поиск"), QString());
    QTimer::singleShot(0, [&] { again.GetButton(0, 0)->click(); });
    EXPECT_EQ(again.DoModal(), 10017);
    EXPECT_EQ(g_modalDialogShown, 1);
    EXPECT_EQ(again.GetWindow(), nullptr);
}

TEST(ButtonGridDlg, PicturesAnimateOnTimerTicks)
{
    uitest::OnScreen screen(320, 240);
    platform::ScopedManualClock clock(5000);
    Pictures pictures;
    CButtonGridDlg grid(4, 2);
    grid.SetCellEx(0, 0, 10020, QStringLiteral("Масштаб"), QString(), 3, 700, 3); // holds the last picture
    grid.SetCellEx(1, 0, 10017, QStringLiteral("Поиск"), QString(), 0, 700, 3); // follows the press
    grid.SetCellEx(2, 0, 10037, QStringLiteral("Пробки"), QString(), 1, 700, 3); // holds the first
    grid.SetCellEx(3, 0, 10001, QStringLiteral("Настройки"), QString(), 0, 0, 3); // one picture only
    EXPECT_EQ(grid.GetCell(0, 0).frame, 2);
    EXPECT_EQ(grid.GetCell(0, 0).pictures, std::vector<uint32_t>({ 10020, 10720, 11420 }));
    EXPECT_EQ(grid.GetCell(3, 0).pictures, std::vector<uint32_t>({ 10001 }));
    ASSERT_TRUE(grid.Create());

    auto tick = [&] {
        clock->advance(150);
        platform::DispatchDueTimers();
        uitest::ProcessEvents();
    };
    auto frames = [&] {
        return std::vector<int> { grid.GetCell(0, 0).frame, grid.GetCell(1, 0).frame,
            grid.GetCell(2, 0).frame, grid.GetCell(3, 0).frame };
    };
    tick();
    EXPECT_EQ(frames(), std::vector<int>({ 2, 0, 0, 0 }));
    grid.GetButton(1, 0)->setDown(true);
    grid.GetButton(2, 0)->setDown(true);
    tick();
    EXPECT_EQ(frames(), std::vector<int>({ 2, 1, 0, 0 }));
    tick();
    tick();
    EXPECT_EQ(frames(), std::vector<int>({ 2, 2, 0, 0 }));
    grid.GetButton(1, 0)->setDown(false);
    tick();
    EXPECT_EQ(frames(), std::vector<int>({ 2, 1, 0, 0 }));
    tick();
    tick();
    EXPECT_EQ(frames(), std::vector<int>({ 2, 0, 0, 0 }));
    grid.EndDialog(2);
    EXPECT_EQ(pictures.released, 1);
}

TEST(ButtonGridDlg, CellsOutsideTheGridAreIgnored)
{
    uitest::OnScreen screen(240, 320);
    CButtonGridDlg grid(4, 2);
    grid.SetCellByIndex(8, 10001, QString(), QString(), 0, 700, 3);
    grid.SetCellEx(2, 0, 10001, QString(), QString(), 0, 700, 3);
    grid.SetCellByIndex(-1, 10001, QString(), QString(), 0, 700, 3);
    for (int c = 0; c < grid.GetColumns(); ++c)
        for (int r = 0; r < grid.GetRows(); ++r)
            EXPECT_EQ(grid.GetCell(c, r).command, kInertCommand);
    grid.SetCellByIndex(5, 10001, QString(), QString(), 0, 700, 3);
    EXPECT_EQ(grid.GetCell(1, 2).command, 10001);
}

namespace {

// A cell's look: the fill, the picture and the ink of the texts.
class CellLook {
public:
    explicit CellLook(CKnButton& button)
        : m_image(button.grab().toImage().convertToFormat(QImage::Format_RGB32))
    {
    }
    const QImage& Image() const { return m_image; }
    QRgb At(int x, int y) const { return m_image.pixel(x, y) & 0xFFFFFF; }
    // Rows from `top` up to `bottom` (excluded) with ink: pixels far from
    // `fill`, away from the rounded border.
    std::vector<int> InkRows(QRgb fill, int top, int bottom) const
    {
        const int w = m_image.width(), h = m_image.height(), corner = ScaleByDpiX(10) + 2;
        std::vector<int> rows;
        for (int y = top; y < bottom && y < h - 2; ++y)
            for (int x = 2; x < w - 2; ++x) {
                if (y > h - corner && (x < corner || x >= w - corner))
                    continue;
                const QRgb p = At(x, y);
                if (std::abs(qRed(p) - qRed(fill)) + std::abs(qGreen(p) - qGreen(fill))
                        + std::abs(qBlue(p) - qBlue(fill))
                    > 90) {
                    rows.push_back(y);
                    break;
                }
            }
        return rows;
    }

private:
    QImage m_image;
};

} // namespace

// The exit button is red and every other grey, each a shade darker with the
// focus; the picture sits centred at the top, its magenta left out and what
// lies past the button's side cut off; the caption and the description stay
// inside their own rectangles.
TEST(ButtonGridDlg, DrawsFillPictureAndTextsInTheirPlaces)
{
    struct Screen {
        int w, h, dpi;
    };
    for (const Screen s : { Screen { 240, 320, 96 }, Screen { 640, 480, 192 } }) {
        uitest::OnScreen screen(s.w, s.h, s.dpi);
        const int side = GetButtonSide();
        // A blue picture wider and taller than a button's side with a magenta square at its top left.
        QImage picture(side + 8, side + 8, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        for (int y = 0; y < side / 4; ++y)
            for (int x = 0; x < side / 4; ++x)
                picture.setPixel(x, y, qRgb(0xFF, 0, 0xFF));
        CButtonGridDlg::SetPictureSource({ [&](uint32_t) { return &picture; }, [] {} });
        CButtonGridDlg grid(4, 2);
        grid.SetCellByIndex(0, 10003, QStringLiteral("Выход"), QString(), 0, 700, 1);
        grid.SetCellByIndex(1, 10001, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWW"),
            QStringLiteral("Открыть общие настройки"), 0, 700, 1);
        grid.SetCellByIndex(2, 10017, QString(), QString(), 0, 700, 1); // the picture alone
        ASSERT_TRUE(grid.Create());
        uitest::ProcessEvents();
        const QRgb red = qRgb(230, 0, 0) & 0xFFFFFF, darkRed = qRgb(180, 0, 0) & 0xFFFFFF;
        const QRgb grey = 0xC0C0C0, darkGrey = 0x808080;

        // The focus starts on the exit button.
        CellLook exitLook(*grid.GetButton(0, 0)), otherLook(*grid.GetButton(1, 0));
        const int middle = side / 2, left = ScaleByDpiX(4);
        EXPECT_EQ(exitLook.At(left, middle), darkRed) << s.w;
        EXPECT_EQ(otherLook.At(left, middle), grey) << s.w;
        Key(grid, Qt::Key_Right);
        uitest::ProcessEvents();
        EXPECT_EQ(CellLook(*grid.GetButton(0, 0)).At(left, middle), red) << s.w;
        const CellLook focused(*grid.GetButton(1, 0));
        EXPECT_EQ(focused.At(left, middle), darkGrey) << s.w;

        // The picture: centred, magenta left out, cut at the side.
        const int w = otherLook.Image().width(), x0 = (w - side) / 2;
        EXPECT_EQ(otherLook.At(x0 + side / 2, middle), 0x0000FFu) << s.w;
        EXPECT_EQ(otherLook.At(x0, side - 1), 0x0000FFu) << s.w;
        EXPECT_EQ(otherLook.At(x0 + side - 1, side - 1), 0x0000FFu) << s.w;
        EXPECT_EQ(otherLook.At(x0 - 1, middle), grey) << s.w;
        EXPECT_EQ(otherLook.At(x0 + side, middle), grey) << s.w;
        // Below the picture lies the caption; a cell without one shows where the picture ends.
        const CellLook bare(*grid.GetButton(2 % grid.GetColumns(), 2 / grid.GetColumns()));
        EXPECT_EQ(bare.At(x0 + side / 2, side - 1), 0x0000FFu) << s.w;
        EXPECT_EQ(bare.At(x0 + side / 2, side), grey) << s.w;
        EXPECT_EQ(otherLook.At(x0 + side / 8, side / 8 + 1), grey) << s.w;

        // The texts: the caption's ink within its rows, the description's within its own.
        const int captionTop = ScaleByDpiY(38), captionBottom = ScaleByDpiY(52);
        const int descriptionTop = ScaleByDpiY(54), h = otherLook.Image().height();
        for (const auto& [look, fill, described] :
            { std::tuple { &exitLook, darkRed, false }, std::tuple { &otherLook, grey, true } }) {
            const std::vector<int> caption = look->InkRows(fill, side + 1, descriptionTop);
            ASSERT_FALSE(caption.empty()) << s.w;
            EXPECT_GE(caption.front(), captionTop) << s.w;
            EXPECT_LT(caption.back(), captionBottom) << s.w;
            const std::vector<int> description = look->InkRows(fill, descriptionTop, h);
            EXPECT_EQ(description.empty(), !described) << s.w;
        }
        // The long caption is cut at its rectangle's right edge, not at the border.
        bool inkNearRight = false;
        for (int y = captionTop; y < captionBottom; ++y)
            inkNearRight = inkNearRight || otherLook.At(w - ScaleByDpiX(1) - 2, y) != grey;
        EXPECT_TRUE(inkNearRight) << s.w;
        grid.EndDialog(2);
        CButtonGridDlg::SetPictureSource({});
    }
}
