#include "ui/color_property_page.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTreeWidget>

int ControlColorType(const QWidget* control)
{
    if (qobject_cast<const QLineEdit*>(control) || qobject_cast<const QPlainTextEdit*>(control)
        || qobject_cast<const QAbstractSpinBox*>(control))
        return CTLCOLOR_EDIT;
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->isEditable() ? CTLCOLOR_EDIT : CTLCOLOR_LISTBOX;
    if (qobject_cast<const QAbstractItemView*>(control))
        return CTLCOLOR_LISTBOX;
    if (qobject_cast<const QPushButton*>(control))
        return CTLCOLOR_BTN;
    if (qobject_cast<const QAbstractSlider*>(control))
        return CTLCOLOR_SCROLLBAR;
    if (qobject_cast<const QLabel*>(control) || qobject_cast<const QCheckBox*>(control)
        || qobject_cast<const QRadioButton*>(control) || qobject_cast<const QGroupBox*>(control))
        return CTLCOLOR_STATIC;
    return 0;
}

CColorPropertyPage::CColorPropertyPage(int templateId, const QString& title)
    : CPropertyPage(templateId, title)
{
}

const QBrush* CColorPropertyPage::OnCtlColor(QWidget*, int type, QColor* background)
{
    if (!HasBrush())
        return nullptr;
    if (type == CTLCOLOR_EDIT || type == CTLCOLOR_LISTBOX || type == CTLCOLOR_STATIC)
        *background = ColorFromRef(GetColor());
    return GetBrush();
}

void CColorPropertyPage::ApplyControlColors()
{
    for (const auto& [id, control] : Controls()) {
        QColor background = control->palette().color(QPalette::Base);
        const QBrush* brush = OnCtlColor(control, ControlColorType(control), &background);
        if (brush && brush->style() != Qt::NoBrush)
            SetControlColors(control, *brush, background);
    }
}

void CColorPropertyPage::showEvent(QShowEvent* event)
{
    ApplyTo(this, ColorFromRef(GetColor()));
    ApplyControlColors();
    CPropertyPage::showEvent(event);
}

void CColorPropertyPage::paintEvent(QPaintEvent* event)
{
    if (!HasBrush()) {
        CPropertyPage::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), *GetBrush());
}
