#include "ui/dialog.h"

#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "ui/dialog_style.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

CDialog::CDialog(int templateId, QWidget* parent)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
    , m_templateId(templateId)
    , m_parent(parent)
    , m_body(new QWidget(this))
{
    setFont(DialogFont());
    m_body->setAutoFillBackground(true);
}

CDialog::~CDialog() = default;

bool CDialog::IsLandscapeLayout() const { return IsLandscapeTemplate(m_templateId); }

bool CDialog::Create()
{
    if (m_created)
        return true;
    if (!Initialize())
        return false;
    if (!m_ended)
        show();
    return true;
}

bool CDialog::Initialize()
{
    m_ended = false;
    const QSize screen(GetScreenWidth(), GetScreenHeight());
    PlaceOverDeviceScreen(this, QRect(QPoint(0, 0), screen));
    m_body->setGeometry(QRect(QPoint(0, 0), screen));
    CreateControls(m_body);
    m_created = true;
    return OnInitDialog();
}

int CDialog::DoModal()
{
    if (m_created) {
        if (!isVisible())
            return result();
    } else if (!Initialize()) {
        return -1;
    }
    if (m_ended) // ended while it initialised
        return result();
    return exec();
}

void CDialog::EndDialog(int result) { done(result); }

void CDialog::done(int result)
{
    m_ended = true;
    OnDestroy();
    QDialog::done(result);
}

void CDialog::reject() { NotifyCommand(platform::IDCANCEL, BN_CLICKED); }

void CDialog::MoveWindow(const QRect& rect)
{
    m_body->setGeometry(rect);
    OnWindowMoved();
    update();
}

QRect CDialog::GetWindowRect() const { return m_body->geometry(); }

bool CDialog::UpdateData(bool saveAndValidate) { return DoDataExchange(saveAndValidate); }

bool CDialog::DoDataExchange(bool) { return true; }

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(platform::IDOK);
}

void CDialog::OnCancel() { EndDialog(platform::IDCANCEL); }

void CDialog::OnActivate(int) { }

void CDialog::OnDestroy() { }

bool CDialog::OnCommand(int id, int code)
{
    if (code != BN_CLICKED)
        return false;
    if (id == platform::IDOK) {
        OnOK();
        return true;
    }
    if (id == platform::IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        OnActivate(WA_ACTIVE);
    else if (event->type() == QEvent::WindowDeactivate)
        OnActivate(WA_INACTIVE);
    return QDialog::event(event);
}

void CDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on a push button taps it; elsewhere it is the dialog's OK.
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        const int focusedId = focused ? GetDlgCtrlID(focused) : -1;
        if (focusedId >= 0) {
            ClickDlgItem(focusedId);
        } else {
            QWidget* ok = GetDlgItem(platform::IDOK);
            if (!ok || ok->isEnabled())
                NotifyCommand(platform::IDOK, BN_CLICKED);
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDialog::paintEvent(QPaintEvent*)
{
    // The shell's bars, where the dialog's window leaves them visible.
    QPainter painter(this);
    const QRect body = m_body->geometry();
    if (body.top() > 0) {
        const QRect bar(0, 0, width(), body.top());
        painter.fillRect(bar, QColor(0x10, 0x3a, 0x78));
        painter.setPen(Qt::white);
        QFont font = DialogFont(11, QFont::Bold);
        painter.setFont(font);
        painter.drawText(bar.adjusted(ScaleByDpiX(6), 0, -ScaleByDpiX(6), 0),
            Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    }
    if (body.bottom() < height() - 1)
        painter.fillRect(
            QRect(0, body.bottom() + 1, width(), height() - body.bottom() - 1), QColor(0xd8, 0xd8, 0xd8));
}
