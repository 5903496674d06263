#pragma once
// "Layout transp. buttons": a picture of where the transparent buttons stand
// on this screen, each numbered as the settings page names it ("3: ..."),
// with the zones a tap chooses them by.
#include "controls/button_folders.h"
#include "ui/dialog.h"

#include <QImage>
#include <QSize>
#include <array>

enum : int {
    IDD_TRANSP_BUTTONS_LAYOUT = 201,
    IDC_TRANSP_BUTTONS_LAYOUT_PICTURE = 202,
};

// The picture for a screen of the current size, drawn at `size` (the screen
// kept in proportion and centred).
QImage DrawTransparentButtonLayout(QSize size);

class CTranspButtonsLayoutDlg : public CDialog {
public:
    explicit CTranspButtonsLayoutDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;

protected:
    void CreateControls(QWidget* body) override;
};
