#include "ui/property_page.h"

#include "platform/message_box.h"
#include "ui/dialog_style.h"
#include "ui/property_sheet.h"

CPropertyPage::CPropertyPage(int templateId, const QString& title)
    : m_templateId(templateId)
    , m_title(title)
{
    setFont(DialogFont());
    setAutoFillBackground(true);
    hide();
}

CPropertyPage::~CPropertyPage()
{
    if (m_sheet)
        m_sheet->RemovePage(this);
}

bool CPropertyPage::IsLandscapeLayout() const { return IsLandscapeTemplate(m_templateId); }

void CPropertyPage::SetTitle(const QString& title)
{
    m_title = title;
    if (m_sheet)
        m_sheet->SetTabText(m_sheet->GetPageIndex(this), title);
}

bool CPropertyPage::EnsureCreated()
{
    if (m_created)
        return true;
    m_created = true;
    CreateControls();
    return OnInitDialog();
}

bool CPropertyPage::UpdateData(bool saveAndValidate) { return DoDataExchange(saveAndValidate); }

bool CPropertyPage::DoDataExchange(bool) { return true; }

bool CPropertyPage::OnInitDialog()
{
    UpdateData(false);
    return true;
}

bool CPropertyPage::OnSetActive() { return true; }

bool CPropertyPage::OnKillActive() { return UpdateData(true); }

void CPropertyPage::OnOK() { }

void CPropertyPage::OnCancel() { }

bool CPropertyPage::OnCommand(int id, int code)
{
    if (code == BN_CLICKED && id == platform::IDOK) {
        OnOK();
        return true;
    }
    return false;
}
