#pragma once
// The sheet of the program's wizards: a full-screen sheet without visible tabs
// whose pages carry their own Back, Next and Cancel and draw in light green.
// OK (the Enter key) goes to the active page, which decides what it means.
#include "ui/property_sheet_full_screen.h"

#include <QBrush>
#include <QFont>
#include <optional>

// Asks the sheet to stretch a page (wParam: its index, or -1 for the active
// page) down to the bottom of the sheet.
constexpr uint32_t WM_WIZARD_STRETCH_PAGE = platform::WM_APP + 1;

class CWizardSheet : public CPropertySheetFullScreen {
public:
    explicit CWizardSheet(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);

    // Background of the pages and their texts; of fields, lists and buttons.
    const QBrush& PageBrush() const { return m_pageBrush; }
    const QBrush& FieldBrush() const { return m_fieldBrush; }
    // The bold font of page titles; nullptr before the sheet opened.
    const QFont* TitleFont() const { return m_titleFont ? &*m_titleFont : nullptr; }

    bool OnInitDialog() override;
    bool SetActivePage(int index) override;
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

protected:
    void AdjustLayout(bool fullScreen) override;
    void OnSize() override;
    bool OnCommand(int id, int code) override;

private:
    void StretchPage(int index);

    QBrush m_pageBrush; // empty until the sheet opens
    QBrush m_fieldBrush;
    std::optional<QFont> m_titleFont;
};
