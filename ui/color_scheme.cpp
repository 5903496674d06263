#include "ui/color_scheme.h"

#include <QWidget>

QColor ColorFromRef(uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
        static_cast<int>((colorRef >> 16) & 0xFF));
}

void CColorScheme::SetColors(const QBrush* brush, uint32_t color)
{
    m_brush = brush;
    m_color = color;
}

bool CColorScheme::HasBrush() const { return m_brush && m_brush->style() != Qt::NoBrush; }

void SetControlColors(QWidget* control, const QBrush& brush, const QColor& background)
{
    QPalette p = control->palette();
    p.setBrush(QPalette::Window, brush);
    p.setBrush(QPalette::Button, brush);
    // A check box's or radio button's box stays white: the colour is its text's.
    if (!control->inherits("QCheckBox") && !control->inherits("QRadioButton")) {
        p.setColor(QPalette::Base, background);
        p.setColor(QPalette::AlternateBase, background);
    }
    control->setPalette(p);
}

void CColorScheme::ApplyTo(QWidget* control, const QColor& background) const
{
    if (HasBrush())
        SetControlColors(control, *m_brush, background);
}
