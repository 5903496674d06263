#include "ui/button_grid_dlg.h"

#include "drawlib/screen_draw_tool.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "platform/timers.h"
#include "ui/dialog_style.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextLayout>
#include <mutex>

namespace {

// Set by the program (or a test) on one thread while grids draw on another.
std::mutex g_pictureSourceLock;
GridPictureSource g_pictureSource;

// A copy, so that the source is called without the lock held.
GridPictureSource PictureSource()
{
    std::lock_guard lock(g_pictureSourceLock);
    return g_pictureSource;
}

constexpr uint32_t kAnimationTimer = 1;
constexpr uint32_t kAnimationPeriodMs = 150;
constexpr int32_t kExitCommand = 10003;
constexpr int kGap = 4;
// The system font's size, the base of the grid's fonts.
constexpr int kSystemFontPx = 12;

// Draws centred, word-wrapped text that stays inside `rect`: the font shrinks
// down to a readable size, and a text still too long ends its last line with
// an ellipsis rather than being cut through.
void DrawWrappedText(QPainter& painter, const QRect& rect, const QString& text, QFont font)
{
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const int smallest = std::min(font.pixelSize(), ScaleByDpiY(8));
    for (;;) {
        const QFontMetrics metrics(font);
        const QRect needed = metrics.boundingRect(rect, flags, text);
        if ((needed.height() <= rect.height() && needed.width() <= rect.width())
            || font.pixelSize() <= smallest)
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    painter.setFont(font);
    const QFontMetrics metrics(font);
    QTextLayout layout(text, font);
    layout.setTextOption(QTextOption(Qt::AlignHCenter));
    layout.beginLayout();
    QStringList lines;
    const int maxLines = std::max(1, rect.height() / metrics.lineSpacing());
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(rect.width());
        if (lines.size() == maxLines - 1) {
            lines << metrics.elidedText(
                text.mid(line.textStart()).simplified(), Qt::ElideRight, rect.width());
            break;
        }
        lines << metrics.elidedText(
            text.mid(line.textStart(), line.textLength()).trimmed(), Qt::ElideRight, rect.width());
    }
    layout.endLayout();
    int y = rect.top();
    for (const QString& line : lines) {
        painter.drawText(QRect(rect.left(), y, rect.width(), metrics.lineSpacing()),
            Qt::AlignHCenter | Qt::AlignTop, line);
        y += metrics.lineSpacing();
    }
}

} // namespace

CKnButton::CKnButton(CRawDialog& dialog, int id, uint32_t userData, QWidget* parent)
    : QAbstractButton(parent)
    , m_dialog(dialog)
    , m_id(id)
    , m_userData(userData)
{
    setObjectName(QString::number(id));
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        CRawDialog::DialogProc(
            &m_dialog, platform::WM_COMMAND, static_cast<platform::WPARAM>(m_id & 0xFFFF), 0);
    });
}

void CKnButton::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    DRAWITEMSTRUCT item;
    item.CtlID = m_id;
    item.hwndItem = this;
    item.hDC = &painter;
    item.rcItem = rect();
    item.clipBox = event->rect();
    item.focused = window()->focusWidget() == this;
    item.selected = isDown();
    CRawDialog::DialogProc(&m_dialog, WM_DRAWITEM, static_cast<platform::WPARAM>(m_id),
        reinterpret_cast<platform::LPARAM>(&item));
}

void CKnButton::keyPressEvent(QKeyEvent* event) { m_dialog.RouteKey(event, true); }

void CKnButton::keyReleaseEvent(QKeyEvent* event) { m_dialog.RouteKey(event, false); }

void CKnButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    update();
}

void CKnButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    update();
}

CButtonGridDlg::CButtonGridDlg(int a, int b)
    : CRawDialog(IDD_BUTTON_GRID)
{
    if (GetScreenWidth() > GetScreenHeight())
        ResizeGrid(a, b);
    else
        ResizeGrid(b, a);
    // The device's system font is narrow; the condensed face keeps the
    // descriptions within their cells as it does.
    m_captionFont = DialogFont(kSystemFontPx, QFont::Bold);
    m_captionFont.setFamily(QStringLiteral("DejaVu Sans Condensed"));
    m_descriptionFont = m_captionFont;
    m_descriptionFont.setWeight(QFont::Normal);
    m_descriptionFont.setPixelSize(m_captionFont.pixelSize() * 3 / 4);
}

CButtonGridDlg::~CButtonGridDlg() = default;

void CButtonGridDlg::SetPictureSource(GridPictureSource source)
{
    std::lock_guard lock(g_pictureSourceLock);
    g_pictureSource = std::move(source);
}

void CButtonGridDlg::ResizeGrid(int columns, int rows)
{
    m_columns = static_cast<uint16_t>(std::max(0, columns));
    m_rows = static_cast<uint16_t>(std::max(0, rows));
    m_cells.assign(static_cast<size_t>(m_columns) * m_rows, CGridCell {});
}

CGridCell* CButtonGridDlg::CellAt(int column, int row)
{
    if (column < 0 || row < 0 || column >= m_columns || row >= m_rows)
        return nullptr;
    return &m_cells[static_cast<size_t>(column) * m_rows + row];
}

const CGridCell& CButtonGridDlg::GetCell(int column, int row) const
{
    return m_cells.at(static_cast<size_t>(column) * m_rows + row);
}

CKnButton* CButtonGridDlg::GetButton(int column, int row) const
{
    if (column < 0 || row < 0 || column >= m_columns || row >= m_rows)
        return nullptr;
    return GetCell(column, row).button;
}

CKnButton* CButtonGridDlg::GetFocusButton() const
{
    return GetWindow() ? dynamic_cast<CKnButton*>(GetWindow()->focusWidget()) : nullptr;
}

CGridCell* CButtonGridDlg::CellOf(const CKnButton* button)
{
    if (!button)
        return nullptr;
    const uint32_t data = button->GetUserData();
    return CellAt(static_cast<int>(data & 0xFFFF), static_cast<int>(data >> 16));
}

void CButtonGridDlg::SetCell(
    int column, int row, int32_t command, const QString& caption, const QString& description)
{
    SetCellEx(column, row, command, caption, description, 0, 0, 1);
}

void CButtonGridDlg::SetCellEx(int column, int row, int32_t command, const QString& caption,
    const QString& description, uint8_t flags, int imageStep, int frameCount)
{
    // A position outside the grid names no cell.
    CGridCell* cell = CellAt(column, row);
    if (!cell)
        return;
    if (frameCount > 0 && imageStep == 0) {
        frameCount = 1;
        flags = 0;
    }
    frameCount = std::clamp(frameCount, 0, 255);
    cell->command = command;
    cell->caption = caption;
    cell->description = description;
    cell->flags = flags;
    cell->frameCount = static_cast<uint8_t>(frameCount);
    cell->pictures.resize(static_cast<size_t>(frameCount));
    for (int i = 0; i < frameCount; ++i)
        cell->pictures[i] = static_cast<uint32_t>(command + imageStep * i);
    cell->frame = (flags & 3) == 3 && frameCount >= 1 ? static_cast<uint8_t>(frameCount - 1) : 0;
}

void CButtonGridDlg::SetCellByIndex(int index, int32_t command, const QString& caption,
    const QString& description, uint8_t flags, int imageStep, int frameCount)
{
    if (m_columns == 0 || index < 0)
        return;
    SetCellEx(
        index % m_columns, index / m_columns, command, caption, description, flags, imageStep, frameCount);
}

const QImage* CButtonGridDlg::Picture(const CGridCell& cell, int frame)
{
    if (frame < 0 || frame >= static_cast<int>(cell.pictures.size()))
        return nullptr;
    const uint32_t id = cell.pictures[frame];
    const GridPictureSource source = PictureSource();
    const QImage* picture
        = source.create ? source.create(id) : (g_drawTool ? g_drawTool->CreateHBITMAP(id) : nullptr);
    return picture && !picture->isNull() ? picture : nullptr;
}

platform::LRESULT CButtonGridDlg::HandleMessage(
    uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    if (message == platform::WM_TIMER && wParam == kAnimationTimer) {
        Animate();
        return 0;
    }
    return CRawDialog::HandleMessage(message, wParam, lParam);
}

platform::LRESULT CButtonGridDlg::OnInitDialog(platform::WPARAM, platform::LPARAM)
{
    const int width = GetScreenWidth();
    const int height = GetScreenHeight();
    const int orientation = GetEffectiveOrientation();
    const bool narrower = orientation == ORIENT_LANDSCAPE || orientation == ORIENT_SQUARE;
    MoveWindow(0, 0, narrower ? width - 1 : width, height, true);
    if (m_columns == 0 || m_rows == 0)
        return 0;
    const int cellWidth = static_cast<uint16_t>(width - kGap * m_columns - kGap) / m_columns;
    const int cellHeight = static_cast<uint16_t>(height - kGap * m_rows - kGap) / m_rows;
    int y = kGap;
    for (int row = 0; row < m_rows; ++row) {
        int x = kGap;
        for (int column = 0; column < m_columns; ++column) {
            CGridCell* cell = CellAt(column, row);
            auto* button = new CKnButton(*this, cell->command,
                (static_cast<uint32_t>(row) << 16) | static_cast<uint32_t>(column),
                GetWindow()); // owned by the window
            button->setGeometry(x, y, cellWidth, cellHeight);
            button->show();
            cell->button = button;
            x += cellWidth + kGap;
        }
        y += cellHeight + kGap;
    }
    if (CKnButton* first = GetButton(0, 0))
        first->setFocus(Qt::OtherFocusReason);
    platform::SetTimer(this, kAnimationTimer, kAnimationPeriodMs);
    return 0;
}

void CButtonGridDlg::Animate()
{
    for (size_t i = m_cells.size(); i-- > 0;) {
        CGridCell& cell = m_cells[i];
        if (cell.frameCount < 2)
            continue;
        const bool pushed = cell.button && cell.button->isDown();
        const bool forward = (cell.flags & 3) == 3 || (!(cell.flags & 1) && pushed);
        const uint8_t before = cell.frame;
        if (forward && cell.frame < cell.frameCount - 1)
            ++cell.frame;
        else if (!forward && cell.frame > 0)
            --cell.frame;
        if (cell.frame != before && cell.button && Picture(cell, cell.frame))
            cell.button->repaint(QRect(0, 0, cell.button->width(), GetButtonSide()));
    }
}

platform::LRESULT CButtonGridDlg::OnDrawItem(platform::WPARAM, const DRAWITEMSTRUCT* item)
{
    auto* button = dynamic_cast<CKnButton*>(item->hwndItem);
    const CGridCell* cell = CellOf(button);
    if (!cell)
        return 1;
    QPainter& painter = *item->hDC;
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect r = item->rcItem;

    QColor fill;
    if (cell->command == kExitCommand)
        fill = QColor(item->focused ? 180 : 230, 0, 0);
    else
        fill = item->focused ? QColor(0x80, 0x80, 0x80) : QColor(0xC0, 0xC0, 0xC0);
    painter.setPen(Qt::black);
    painter.setBrush(fill);
    painter.drawRoundedRect(
        QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), ScaleByDpiX(20) / 2.0, ScaleByDpiY(20) / 2.0);

    const int side = GetButtonSide();
    const QImage* image = item->clipBox.top() < side ? Picture(*cell, cell->frame) : nullptr;
    if (image) {
        QPixmap picture = QPixmap::fromImage(*image);
        // Magenta is transparent.
        picture.setMask(
            QBitmap::fromImage(image->createMaskFromColor(QColor(0xFF, 0x00, 0xFF).rgb(), Qt::MaskInColor)));
        painter.drawPixmap(QPoint((r.width() - side) / 2, 0), picture, QRect(0, 0, side, side));
    }
    if (cell->caption.isEmpty() && cell->description.isEmpty())
        return 1;
    painter.setPen(Qt::black);
    // Rectangles counted as the platform's: right and bottom edges excluded.
    const QRect caption(
        QPoint(ScaleByDpiX(1), ScaleByDpiY(38)), QPoint(r.width() - ScaleByDpiX(1) - 1, ScaleByDpiY(52) - 1));
    if (!cell->caption.isEmpty() && caption.intersects(item->clipBox)) {
        painter.setFont(m_captionFont);
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, cell->caption);
    }
    const QRect description(QPoint(ScaleByDpiX(1), ScaleByDpiY(54)),
        QPoint(r.width() - ScaleByDpiX(1) - 1, r.height() - ScaleByDpiY(1) - 1));
    if (!cell->description.isEmpty() && description.intersects(item->clipBox))
        DrawWrappedText(painter, description, cell->description, m_descriptionFont);
    return 1;
}

platform::LRESULT CButtonGridDlg::OnKeyDown(int, platform::LPARAM) { return 0; }

platform::LRESULT CButtonGridDlg::OnKeyUp(int key, platform::LPARAM)
{
    CKnButton* focused = GetFocusButton();
    if (!focused || !CellOf(focused))
        return 0;
    int column = static_cast<int>(focused->GetUserData() & 0xFFFF);
    int row = static_cast<int>(focused->GetUserData() >> 16);
    switch (key) {
    case VK_UP:
        if (row > 0)
            --row;
        break;
    case VK_DOWN:
        if (row < m_rows - 1)
            ++row;
        break;
    case VK_LEFT:
        if (column > 0)
            --column;
        break;
    case VK_RIGHT:
        if (column < m_columns - 1)
            ++column;
        break;
    case VK_RETURN:
        break;
    case VK_ESCAPE:
        EndDialog(platform::IDCANCEL);
        return 0;
    default:
        return 0;
    }
    if (CKnButton* next = GetButton(column, row))
        next->setFocus(Qt::OtherFocusReason);
    return 0;
}

platform::LRESULT CButtonGridDlg::OnCommand(platform::WPARAM wParam, platform::LPARAM)
{
    if (wParam >= 0x10000)
        return 0;
    int id = static_cast<int>(wParam);
    if (id == platform::IDOK) {
        const CGridCell* cell = CellOf(GetFocusButton());
        if (!cell)
            return 0;
        id = cell->command;
    }
    if (id == kInertCommand)
        return 0;
    EndDialog(id);
    return 1;
}

platform::LRESULT CButtonGridDlg::OnDestroy()
{
    const GridPictureSource source = PictureSource();
    if (source.releaseAll)
        source.releaseAll();
    else if (!source.create && g_drawTool)
        g_drawTool->DeleteHBITMAPs();
    platform::KillTimer(this, kAnimationTimer);
    return 0;
}
