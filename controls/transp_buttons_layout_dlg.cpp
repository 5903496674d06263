#include "controls/transp_buttons_layout_dlg.h"

#include "foundation/dialog_templates.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace {

// The colours of the overlay over the map: the darkened map and the grid.
const QColor kScreenColour(0x80, 0x80, 0x80);
const QColor kGridColour(0xff, 0x00, 0x00);
const QColor kButtonColour(0x10, 0x3a, 0x78);

class CLayoutPicture : public QWidget {
public:
    explicit CLayoutPicture(QWidget* parent)
        : QWidget(parent)
    {
        setMinimumSize(ScaleByDpiX(60), ScaleByDpiY(60));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, DrawTransparentButtonLayout(size()));
    }
};

} // namespace

QImage DrawTransparentButtonLayout(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const int w = GetScreenWidth(), h = GetScreenHeight();
    if (w <= 0 || h <= 0 || size.isEmpty())
        return picture;
    const double scale = std::min(double(size.width() - 1) / w, double(size.height() - 1) / h);
    const QPointF origin((size.width() - w * scale) / 2, (size.height() - h * scale) / 2);
    const auto at = [&](double x, double y) { return origin + QPointF(x * scale, y * scale); };

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(at(0, 0), at(w, h)), kScreenColour);
    painter.setPen(QPen(kGridColour, 1));
    const CScreenButtonFolders::Grid grid = CScreenButtonFolders::GetGrid();
    for (const auto& [x1, y1, x2, y2] : grid.lines)
        painter.drawLine(at(x1, y1), at(x2, y2));
    painter.drawRect(QRectF(
        at(grid.boxLeft, grid.boxTop), at(grid.boxLeft + grid.boxWidth, grid.boxTop + grid.boxHeight)));

    const int side = GetButtonSide();
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(6, int(side * scale * 0.5)));
    painter.setFont(font);
    const CScreenButtonFolders& folders = GetTransparentButtonRoot();
    for (int b = 0; b < CButtonFolders::kButtonsPerFolder; ++b) {
        const CButtonFolders::ButtonPlace place = folders.GetButtonPlace(b);
        const QRectF button(at(place.at.x, place.at.y), at(place.at.x + side, place.at.y + side));
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(kButtonColour);
        painter.drawRoundedRect(button, 3, 3);
        painter.drawText(button, Qt::AlignCenter, QString::number(b));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(at(0, 0), at(w, h)));
    return picture;
}

CTranspButtonsLayoutDlg::CTranspButtonsLayoutDlg(QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_TRANSP_BUTTONS_LAYOUT), parent)
{
}

void CTranspButtonsLayoutDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    layout.Form()->addWidget(AddControl<CLayoutPicture>(IDC_TRANSP_BUTTONS_LAYOUT_PICTURE, body), 1);
    layout.AddButtons({ { platform::IDOK, QStringLiteral("OK") } });
    // The picture takes the room the button leaves.
    layout.Form()->setStretch(layout.Form()->count() - 1, 0);
}

bool CTranspButtonsLayoutDlg::OnInitDialog()
{
    setWindowTitle(QStringLiteral("Layout transp. buttons"));
    return CDialog::OnInitDialog();
}
