#pragma once
// The device's frame buffer and the window that shows it. The frame buffer is
// screen-sized RGB565, row after row from the top; the drawing code copies its
// off-screen surface into it under lock() and then calls Present(), which asks
// the window to repaint from it. Headless tests read its pixels back.
#include <QImage>
#include <QSize>
#include <QWidget>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

class Display {
public:
    // `bitsPerPixel` is the depth the display reports to the drawing code; the
    // frame buffer itself is always RGB565. Other depths exist so that the
    // drawing code's refusal of them can be exercised.
    Display(QSize size, int dpi, int bitsPerPixel = 16);
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    int Width() const { return m_size.width(); }
    int Height() const { return m_size.height(); }
    QSize Size() const { return m_size; }
    int Dpi() const { return m_dpi; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    // Bytes from one row to the next.
    int Stride() const { return m_size.width() * 2; }

    // The frame buffer's memory; touch it only under lock().
    uint16_t* Bits() { return m_pixels.data(); }
    const uint16_t* Bits() const { return m_pixels.data(); }
    std::mutex& lock() const { return m_mutex; }

    // Copies a whole frame (rows of `srcStride` bytes, top row first) and presents it.
    void CopyFrame(const uint16_t* src, int srcStride);
    // Asks the window to repaint from the frame buffer; safe from any thread.
    void Present();

    uint16_t Pixel(int x, int y) const;
    // A copy of the frame (RGB16) for tests and screenshots.
    QImage Snapshot() const;

    void AttachWindow(QWidget* window);
    // Forgets `window` if it is the attached one (its destructor calls this).
    void DetachWindow(QWidget* window);
    // Paints the frame buffer into the window (called from its paintEvent).
    void PaintInto(QWidget* widget);

private:
    const QSize m_size;
    const int m_dpi;
    const int m_bitsPerPixel;
    std::vector<uint16_t> m_pixels;
    mutable std::mutex m_mutex;
    QWidget* m_window = nullptr; // guarded by m_mutex: frames are presented from any thread
};

// The device's screen: one top-level window of the emulated screen size that
// shows the frame buffer.
class DeviceScreen : public QWidget {
public:
    explicit DeviceScreen(Display& display, QWidget* parent = nullptr);
    ~DeviceScreen() override;
    Display& display() { return m_display; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Display& m_display;
};

} // namespace platform
