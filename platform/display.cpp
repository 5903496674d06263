#include "platform/display.h"

#include "platform/messages.h"

#include <QPainter>
#include <QPointer>
#include <cstring>

namespace platform {

Display::Display(QSize size, int dpi, int bitsPerPixel)
    : m_size(size)
    , m_dpi(dpi)
    , m_bitsPerPixel(bitsPerPixel)
    , m_pixels(static_cast<size_t>(size.width()) * size.height(), 0)
{
}

void Display::CopyFrame(const uint16_t* src, int srcStride)
{
    {
        std::lock_guard guard(m_mutex);
        const auto* from = reinterpret_cast<const uint8_t*>(src);
        auto* to = reinterpret_cast<uint8_t*>(m_pixels.data());
        for (int y = 0; y < Height(); ++y)
            std::memcpy(
                to + static_cast<size_t>(y) * Stride(), from + static_cast<size_t>(y) * srcStride, Stride());
    }
    Present();
}

void Display::Present()
{
    // Posted under the lock, so the window cannot be destroyed in between; a
    // request still queued when it goes is dropped with it.
    std::lock_guard guard(m_mutex);
    if (QWidget* w = m_window)
        PostToMainThread([window = QPointer<QWidget>(w)] {
            if (window)
                window->update();
        });
}

void Display::AttachWindow(QWidget* window)
{
    std::lock_guard guard(m_mutex);
    m_window = window;
}

void Display::DetachWindow(QWidget* window)
{
    std::lock_guard guard(m_mutex);
    if (m_window == window)
        m_window = nullptr;
}

uint16_t Display::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    std::lock_guard guard(m_mutex);
    return m_pixels[static_cast<size_t>(y) * Width() + x];
}

QImage Display::Snapshot() const
{
    std::lock_guard guard(m_mutex);
    QImage view(
        reinterpret_cast<const uchar*>(m_pixels.data()), Width(), Height(), Stride(), QImage::Format_RGB16);
    return view.copy();
}

void Display::PaintInto(QWidget* widget)
{
    QPainter painter(widget);
    std::lock_guard guard(m_mutex);
    QImage view(
        reinterpret_cast<const uchar*>(m_pixels.data()), Width(), Height(), Stride(), QImage::Format_RGB16);
    painter.drawImage(QPoint(0, 0), view);
}

DeviceScreen::DeviceScreen(Display& display, QWidget* parent)
    : QWidget(parent)
    , m_display(display)
{
    setFixedSize(display.Size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Travenor Pro"));
    display.AttachWindow(this);
}

DeviceScreen::~DeviceScreen() { m_display.DetachWindow(this); }

void DeviceScreen::paintEvent(QPaintEvent*) { m_display.PaintInto(this); }

} // namespace platform
