#include "ui/color_list_ctrl.h"

#include <QApplication>
#include <QHeaderView>

CColorListCtrl::CColorListCtrl(QWidget* parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
}

void CColorListCtrl::showEvent(QShowEvent* event)
{
    ApplyTo(this, ColorFromRef(GetColor()));
    // An untinted header keeps its own look instead of taking the list's.
    if (m_headerScheme.HasBrush())
        m_headerScheme.ApplyTo(header(), ColorFromRef(m_headerScheme.GetColor()));
    else if (HasBrush()) {
        QPalette own = QApplication::palette(header());
        own.setResolveMask(~QPalette::ResolveMask(0)); // every role set: nothing inherited
        header()->setPalette(own);
    }
    QTreeWidget::showEvent(event);
}
