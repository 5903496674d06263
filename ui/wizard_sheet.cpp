#include "ui/wizard_sheet.h"

#include "platform/message_box.h"
#include "ui/color_scheme.h"
#include "ui/control_host.h"
#include "ui/dialog_style.h"

CWizardSheet::CWizardSheet(const QString& caption, QWidget* parent, int selectPage)
    : CPropertySheetFullScreen(caption, parent, selectPage)
{
}

bool CWizardSheet::OnInitDialog()
{
    // Made before the base opens the first page, so that page gets its
    // colours and title font like every later one.
    m_pageBrush = QBrush(ColorFromRef(0xBBFFA8));
    m_fieldBrush = QBrush(ColorFromRef(0xDDFFD3));
    m_titleFont = DialogFont(12, QFont::Bold);
    const bool result = CPropertySheetFullScreen::OnInitDialog();
    GetTabControl()->hide();
    // The pages carry their own buttons; the command bar stays an empty menu bar.
    if (QWidget* ok = GetDlgItem(platform::IDOK))
        ok->hide();
    if (QWidget* cancel = GetDlgItem(platform::IDCANCEL))
        cancel->hide();
    platform::post(this, WM_WIZARD_STRETCH_PAGE, 0);
    return result;
}

void CWizardSheet::AdjustLayout(bool) { }

bool CWizardSheet::SetActivePage(int index)
{
    platform::post(this, WM_WIZARD_STRETCH_PAGE, static_cast<platform::WPARAM>(index));
    return CPropertySheetFullScreen::SetActivePage(index);
}

void CWizardSheet::OnSize()
{
    platform::post(this, WM_WIZARD_STRETCH_PAGE, static_cast<platform::WPARAM>(-1));
    CPropertySheetFullScreen::OnSize();
}

bool CWizardSheet::OnCommand(int id, int code)
{
    if (id == platform::IDOK && code == BN_CLICKED) {
        if (CPropertyPage* page = GetActivePage())
            platform::send(page, platform::WM_COMMAND, MAKEWPARAM(platform::IDOK, BN_CLICKED));
        return true;
    }
    return CPropertySheetFullScreen::OnCommand(id, code);
}

platform::LRESULT CWizardSheet::OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    if (message == WM_WIZARD_STRETCH_PAGE) {
        StretchPage(static_cast<int>(static_cast<intptr_t>(wParam)));
        return 0;
    }
    return CPropertySheetFullScreen::OnMessage(message, wParam, lParam);
}

void CWizardSheet::StretchPage(int index)
{
    // A request may arrive after its page was removed: it names no page then.
    CPropertyPage* page = index == -1 ? GetActivePage() : GetPage(index);
    if (!page || !page->IsCreated())
        return;
    QRect r = page->geometry();
    r.setBottom(Body()->rect().bottom());
    page->setGeometry(r);
}
