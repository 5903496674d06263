#pragma once
// A background brush and colour that a page or control paints its background,
// its child controls' backgrounds and its list items with. Without a brush the
// owner looks exactly like its plain base class.
#include <QBrush>
#include <QColor>
#include <cstdint>

class QWidget;

// A colour as the program writes it: 0x00BBGGRR.
QColor ColorFromRef(uint32_t colorRef);

// Paints a control's background with `brush` and the area behind its text
// with `background`.
void SetControlColors(QWidget* control, const QBrush& brush, const QColor& background);

class CColorScheme {
public:
    virtual ~CColorScheme() = default;

    // The brush is not owned: it is the owner's (a sheet's member) and may get
    // its colour later than this call.
    void SetColors(const QBrush* brush, uint32_t color);
    // A brush is set and it paints something.
    bool HasBrush() const;
    const QBrush* GetBrush() const { return m_brush; }
    uint32_t GetColor() const { return m_color; }

    // Gives a control's palette the scheme: the brush behind it and `background`
    // behind its text. Does nothing without a brush.
    void ApplyTo(QWidget* control, const QColor& background) const;

private:
    const QBrush* m_brush = nullptr;
    uint32_t m_color = 0;
};
