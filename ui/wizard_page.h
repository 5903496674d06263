#pragma once
// A page of a wizard: light green, a bold title, and its own Back, Next and
// Cancel whose captions follow the interface language. Enter acts as Next when
// Next is enabled. Derived pages decide what Back and Next do; Cancel cancels
// the wizard.
#include "ui/color_property_page.h"

#include <QBoxLayout>

class CWizardSheet;
class QLabel;

enum : int {
    IDC_WIZARD_BACK = 1302,
    IDC_WIZARD_NEXT = 1303,
    IDC_WIZARD_TITLE = 1306,
};

class CWizardPage : public CColorPropertyPage {
public:
    explicit CWizardPage(int templateId, const QString& title = QString());

    CWizardSheet* GetWizard() const;

    bool OnInitDialog() override;
    const QBrush* OnCtlColor(QWidget* control, int type, QColor* background) override;
    void OnOK() override;

protected:
    // Back, Next and Cancel go to OnBack, OnNext and the wizard's cancel; any
    // other button to OnButton.
    bool OnCommand(int id, int code) override;
    virtual void OnNext() { }
    virtual void OnBack() { }
    // true when the page took the button.
    virtual bool OnButton(int /*id*/) { return false; }

    // The usual arrangement of a wizard page: the title (1306) at the top, the
    // returned layout for the page's own controls, and Back, Next and Cancel
    // (with the template's English captions) in a row at the bottom, or in a
    // column at the right in landscape.
    QBoxLayout* CreateWizardLayout();
};

// Fits a text into a static control: the height changes by what the centred,
// word-wrapped text needs, and with a non-zero `shift` the control moves down
// by it. `outBottom` receives the control's new bottom in its parent's
// coordinates. Returns shift + the height change.
int SetStaticTextFitted(QLabel* control, const QString& text, int shift, int* outBottom);
// Moves a control down by `amount`; returns amount + its previous bottom edge
// (parent coordinates).
int MoveControlDown(QWidget* control, int amount);
// Fits the title's text and moves the description down by the title's growth.
int SetTitleAndShift(QLabel* title, QWidget* description, const QString& text);
