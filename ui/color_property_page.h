#pragma once
// The base of the program's property pages and wizard pages: a page that paints
// its background with its scheme's brush and asks OnCtlColor for each control's
// colours whenever it is shown.
#include "ui/color_scheme.h"
#include "ui/property_page.h"

// Kinds of control asked about in OnCtlColor.
enum : int {
    CTLCOLOR_EDIT = 1,
    CTLCOLOR_LISTBOX = 2,
    CTLCOLOR_BTN = 3,
    CTLCOLOR_SCROLLBAR = 5,
    CTLCOLOR_STATIC = 6,
};

// The kind of a control: fields 1, lists 2, push buttons 3, scroll bars and
// sliders 5, texts, check boxes, radio buttons and groups 6; 0 otherwise.
int ControlColorType(const QWidget* control);

class CColorPropertyPage : public CPropertyPage, public CColorScheme {
public:
    explicit CColorPropertyPage(int templateId, const QString& title = QString());

    // The brush behind a control of `type` (nullptr: the control's own look);
    // may set `background`, the colour behind its text.
    virtual const QBrush* OnCtlColor(QWidget* control, int type, QColor* background);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyControlColors();
};
