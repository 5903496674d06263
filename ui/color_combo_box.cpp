#include "ui/color_combo_box.h"

#include <QAbstractItemView>

CColorComboBox::CColorComboBox(QWidget* parent)
    : QComboBox(parent)
{
}

void CColorComboBox::showEvent(QShowEvent* event)
{
    ApplyTo(this, ColorFromRef(GetColor()));
    QComboBox::showEvent(event);
}

void CColorComboBox::showPopup()
{
    if (!m_listAttached && m_listScheme.HasBrush()) {
        m_listScheme.ApplyTo(view(), ColorFromRef(m_listScheme.GetColor()));
        m_listAttached = true;
    }
    QComboBox::showPopup();
}
