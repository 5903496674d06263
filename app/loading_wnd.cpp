#include "app/loading_wnd.h"

#include "foundation/resource_dll.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "ui/dialog_style.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <algorithm>

namespace {

// The bar: tiles ScaleX(11) by ScaleY(38) from ScaleX(2), 310 pixels long in
// landscape and 230 otherwise.
constexpr int kTileWidth = 11;
constexpr int kTileHeight = 38;
constexpr int kBarLeft = 2;

bool OnUiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

QImage ProgramPicture(int id)
{
    return QImage(QDir(ProgramResourceFolder()).filePath(QStringLiteral("%1.bmp").arg(id)));
}

class CLoadingWindow final : public QWidget {
public:
    CLoadingWindow(QWidget* screen, const QString& version)
        : QWidget(screen)
        , m_version(version)
    {
        setObjectName(QStringLiteral("Loading_Travenor_Pro_Window"));
        setWindowTitle(QStringLiteral("Loading Travenor Pro"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        const int orientation = GetScreenOrientation();
        m_background = ProgramPicture(orientation == ORIENT_LANDSCAPE ? LOADING_BACKGROUND_LANDSCAPE
                : orientation == ORIENT_PORTRAIT                      ? LOADING_BACKGROUND_PORTRAIT
                                                                      : LOADING_BACKGROUND_SQUARE);
        m_tile = ProgramPicture(LOADING_BAR_TILE);
        setGeometry(0, 0, GetScreenWidth(), GetScreenHeight());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QSize screen(GetScreenWidth(), GetScreenHeight());
        if (m_backBuffer.isNull()) {
            // The picture fills the screen (the large screens stretch it from half their size).
            m_backBuffer = QImage(screen, QImage::Format_RGB32);
            m_backBuffer.fill(Qt::white);
            QPainter painter(&m_backBuffer);
            painter.drawImage(QRect(QPoint(0, 0), screen), m_background);
            painter.setPen(Qt::white);
            painter.setFont(DialogFont(12));
            const QRect text(QPoint(ScaleByDpiX(10), ScaleByDpiY(80)),
                QPoint(screen.width() - 1, ScaleByDpiY(80) + ScaleByDpiY(50) - 1));
            painter.drawText(text, Qt::TextWordWrap | Qt::TextExpandTabs, m_version);
        }
        {
            QPainter painter(&m_backBuffer);
            const QRect bar = CLoadingWnd::BarRect(CLoadingWnd::GetInstance().CurrentPercent());
            const int step = ScaleByDpiX(kTileWidth);
            for (int x = bar.left(); x <= bar.right(); x += step)
                painter.drawImage(QRect(x, bar.top(), step, bar.height()), m_tile);
        }
        QPainter(this).drawImage(0, 0, m_backBuffer);
    }

private:
    QString m_version;
    QImage m_background;
    QImage m_tile;
    QImage m_backBuffer;
};

} // namespace

CLoadingWnd& CLoadingWnd::GetInstance()
{
    static CLoadingWnd instance;
    return instance;
}

QRect CLoadingWnd::BarStrip()
{
    const int height = ScaleByDpiY(kTileHeight);
    int top = GetScreenOrientation() == ORIENT_PORTRAIT ? ScaleByDpiY(286)
        : GetEffectiveOrientation() == ORIENT_LANDSCAPE ? ScaleByDpiY(205)
                                                        : ScaleByDpiY(206);
    // The bar stays on the screen, however low the screen is.
    top = std::max(0, std::min(top, GetScreenHeight() - height - ScaleByDpiY(2)));
    const int left = ScaleByDpiX(kBarLeft);
    return QRect(left, top, GetScreenWidth() - left, height);
}

QRect CLoadingWnd::BarRect(int percent)
{
    // Whole tiles, one at 0 %, while the next one starts within the share of the length.
    const int length
        = static_cast<int>((GetScreenOrientation() == ORIENT_LANDSCAPE ? 310 : 230) * ComputeDpiScaleX());
    const int step = ScaleByDpiX(kTileWidth);
    const float reach = static_cast<float>(length) * static_cast<float>(std::clamp(percent, 0, 100)) * 0.01f;
    int tiles = 0;
    for (int x = 0; static_cast<float>(x) <= reach; x += step)
        ++tiles;
    // The last tile may reach past the screen's edge: it is cut there.
    const QRect strip = BarStrip();
    return QRect(strip.left(), strip.top(), tiles * step, strip.height()) & strip;
}

std::vector<int> CLoadingWnd::Reported() const
{
    std::lock_guard lock(m_reportedMutex);
    return m_reported;
}

int CLoadingWnd::Create(const QString& versionText)
{
    QWidget* screen = platform::DeviceScreenWindow();
    if (!screen)
        return 2;
    delete m_window.data();
    m_current = 0;
    m_previous = 0;
    m_target = 0;
    {
        std::lock_guard lock(m_reportedMutex);
        m_reported.clear();
    }
    m_window = new CLoadingWindow(screen, versionText);
    m_window->show();
    m_window->raise();
    m_closed = false;
    SetLoadingProgress(0);
    return 0;
}

void CLoadingWnd::Update()
{
    if (m_window && !m_closed.load())
        m_window->repaint(BarStrip());
    if (m_finishLoop && m_current.load() >= m_target.load())
        m_finishLoop->quit();
}

int CLoadingWnd::Finish(int target)
{
    m_target = target;
    if (m_current.load() < target && !m_closed.load()) {
        QEventLoop loop;
        m_finishLoop = &loop;
        loop.exec();
        m_finishLoop = nullptr;
    }
    m_target = 0;
    return 0;
}

int CLoadingWnd::Close()
{
    m_closed = true;
    delete m_window.data();
    return 0;
}

int SetLoadingProgress(int percent)
{
    CLoadingWnd& window = CLoadingWnd::GetInstance();
    if (window.m_closed.load())
        return LOADING_CLOSED;
    if (percent > 100)
        return LOADING_ABOVE_100;
    int current = window.m_current.load();
    do {
        if (percent < current)
            return LOADING_BELOW_CURRENT;
    } while (!window.m_current.compare_exchange_weak(current, percent));
    window.m_previous = current;
    {
        std::lock_guard lock(window.m_reportedMutex);
        window.m_reported.push_back(percent);
    }
    if (OnUiThread())
        window.Update();
    else
        platform::PostToMainThread([] { CLoadingWnd::GetInstance().Update(); });
    return LOADING_SHOWN;
}
