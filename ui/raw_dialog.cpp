#include "ui/raw_dialog.h"

#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "ui/dialog_style.h"

#include <QKeyEvent>

CRawDialog* g_activeRawDialog = nullptr;
int g_modalDialogShown = 0;

namespace {

// The dialog templates of this kind the program has: the empty one of the button grid.
bool TemplateExists(uint32_t id) { return id == 844; }

} // namespace

class CRawDialog::Window final : public QDialog {
public:
    explicit Window(CRawDialog& owner)
        : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
        , m_owner(owner)
    {
    }

    void done(int result) override
    {
        QDialog::done(result);
        m_owner.Destroyed();
    }
    void reject() override { DialogProc(&m_owner, platform::WM_COMMAND, platform::IDCANCEL, 0); }

protected:
    void paintEvent(QPaintEvent*) override { DialogProc(&m_owner, WM_PAINT, 0, 0); }
    void keyPressEvent(QKeyEvent* event) override { m_owner.RouteKey(event, true); }
    void keyReleaseEvent(QKeyEvent* event) override { m_owner.RouteKey(event, false); }

private:
    CRawDialog& m_owner;
};

CRawDialog::CRawDialog(uint32_t templateId)
    : m_templateId(templateId)
{
}

CRawDialog::~CRawDialog()
{
    if (g_activeRawDialog == this)
        g_activeRawDialog = nullptr;
}

bool CRawDialog::Open()
{
    if (!TemplateExists(m_templateId))
        return false;
    g_modalDialogShown = 1;
    m_result = 0;
    m_ended = false;
    m_window = std::make_unique<Window>(*this);
    PlaceOverDeviceScreen(m_window.get(), QRect(0, 0, GetScreenWidth(), GetScreenHeight()));
    // WM_INITDIALOG names the object whose messages the procedure routes.
    g_activeRawDialog = this;
    DialogProc(this, WM_INITDIALOG, 0, 0);
    return true;
}

int CRawDialog::DoModal()
{
    if (!Open())
        return -1;
    // Ended while it initialised: its window is done and no longer routed,
    // so running it would wait for ever.
    if (m_ended) {
        m_window.reset();
        return m_result;
    }
    m_window->exec();
    m_window.reset();
    return m_result;
}

bool CRawDialog::Create()
{
    if (!Open())
        return false;
    if (!m_ended)
        m_window->show();
    return true;
}

bool CRawDialog::IsOpen() const { return m_window && m_window->isVisible(); }

void CRawDialog::EndDialog(int result)
{
    m_result = result;
    if (m_window)
        m_window->done(result);
}

void CRawDialog::Destroyed()
{
    m_ended = true;
    DialogProc(this, platform::WM_DESTROY, 0, 0);
    if (g_activeRawDialog == this)
        g_activeRawDialog = nullptr;
}

void CRawDialog::MoveWindow(int x, int y, int width, int height, bool repaint)
{
    if (!m_window)
        return;
    m_window->setGeometry(QRect(DeviceScreenOrigin() + QPoint(x, y), QSize(width, height)));
    if (repaint)
        m_window->update();
}

platform::LRESULT CRawDialog::DialogProc(
    CRawDialog* dialog, uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        g_activeRawDialog = dialog;
    if (!g_activeRawDialog)
        return 0;
    return g_activeRawDialog->HandleMessage(message, wParam, lParam);
}

platform::LRESULT CRawDialog::OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    return DialogProc(this, message, wParam, lParam);
}

void CRawDialog::RouteKey(QKeyEvent* event, bool down)
{
    const int key = platform::VirtualKeyFromQt(event->key());
    event->accept();
    // The dialog manager turns a pressed Enter or Escape into its command.
    if (down && (key == VK_RETURN || key == VK_ESCAPE)) {
        DialogProc(this, platform::WM_COMMAND, key == VK_RETURN ? platform::IDOK : platform::IDCANCEL, 0);
        return;
    }
    if (key)
        DialogProc(this, down ? WM_KEYDOWN : WM_KEYUP, static_cast<platform::WPARAM>(key), 0);
}

platform::LRESULT CRawDialog::HandleMessage(
    uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    switch (message) {
    case platform::WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_INITDIALOG:
        return OnInitDialog(wParam, lParam);
    case platform::WM_DESTROY:
        return OnDestroy();
    case WM_PAINT:
        return OnPaint();
    case WM_DRAWITEM:
        return OnDrawItem(wParam, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_KEYDOWN:
        return OnKeyDown(static_cast<int>(wParam), lParam);
    case WM_KEYUP:
        return OnKeyUp(static_cast<int>(wParam), lParam);
    default:
        return 0;
    }
}

platform::LRESULT CRawDialog::OnCommand(platform::WPARAM wParam, platform::LPARAM)
{
    if (wParam == platform::IDOK || wParam == platform::IDCANCEL) {
        EndDialog(static_cast<int>(wParam));
        return 1;
    }
    return 0;
}

platform::LRESULT CRawDialog::OnInitDialog(platform::WPARAM, platform::LPARAM) { return 1; }
platform::LRESULT CRawDialog::OnDestroy() { return 0; }
platform::LRESULT CRawDialog::OnPaint() { return 0; }
platform::LRESULT CRawDialog::OnDrawItem(platform::WPARAM, const DRAWITEMSTRUCT*) { return 1; }
platform::LRESULT CRawDialog::OnKeyDown(int, platform::LPARAM) { return 0; }
platform::LRESULT CRawDialog::OnKeyUp(int, platform::LPARAM) { return 0; }
