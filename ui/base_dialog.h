#pragma once
// The base of the program's own dialogs.
#include "ui/dialog.h"

class CBaseDialog : public CDialog {
public:
    explicit CBaseDialog(int templateId, QWidget* parent = nullptr)
        : CDialog(templateId, parent)
    {
    }
};
