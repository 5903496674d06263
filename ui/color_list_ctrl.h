#pragma once
// A report list in the colours of its scheme: its items' text background is the
// scheme's colour; its header, with a scheme of its own, is tinted only when
// that scheme has a brush.
#include "ui/color_scheme.h"

#include <QTreeWidget>

class CColorListCtrl : public QTreeWidget, public CColorScheme {
public:
    explicit CColorListCtrl(QWidget* parent = nullptr);
    CColorScheme& HeaderScheme() { return m_headerScheme; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    CColorScheme m_headerScheme;
};
