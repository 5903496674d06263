#include "ui/color_list_ctrl.h"

#include <QHeaderView>

CColorListCtrl::CColorListCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
}

void CColorListCtrl::showEvent(QShowEvent* event)
{
    ApplyTo(this, ColorFromRef(GetColor()));
    m_headerScheme.ApplyTo(header(), ColorFromRef(m_headerScheme.GetColor()));
    QTreeWidget::showEvent(event);
}
