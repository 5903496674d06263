#pragma once
// The interface mode, simple or expert: the question asked once at the first
// start, and the switch between the two.
#include "ui/dialog.h"

enum : int {
    IDD_UI_MODE = 811,
    IDC_UI_MODE_SIMPLE = 1600,
    IDC_UI_MODE_EXPERT = 1601,
    IDC_UI_MODE_TEXT = 1602,
};

// "Simple or expert?": two choices, an explanation and OK. The choice starts
// at simple; OK takes it.
class CUiModeDlg : public CDialog {
public:
    explicit CUiModeDlg(QWidget* parent = nullptr);

    int m_mode = 0; // 0 simple, 1 expert

    bool OnInitDialog() override;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
};

// Switches the interface mode; with `reload` the settings are saved and read
// again around the switch.
void ApplyUiMode(int expert, int reload);
