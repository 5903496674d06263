#include "settings/information_page.h"

#include "app/about_page.h"
#include "app/device_config.h"
#include "foundation/language.h"
#include "settings/settings_page_layout.h"
#include "ui/property_sheet_full_screen.h"

#include <QPushButton>

using namespace settings_layout;

CPageInformation::CPageInformation()
    : CPropertyPage(IDD_PAGE_INFORMATION)
{
}

void CPageInformation::CreateControls()
{
    QVBoxLayout* column = PageColumn(this);
    Add<QPushButton>(*this, IDC_INFO_ABOUT, this, AddGroup(*this, IDC_INFO_PROGRAM_GROUP, this, column));
    Add<QPushButton>(*this, IDC_INFO_HELP, this, AddGroup(*this, IDC_INFO_REFERENCE_GROUP, this, column));
    QHBoxLayout* laws = AddRow(AddGroup(*this, IDC_INFO_LAWS_GROUP, this, column));
    Add<QPushButton>(*this, IDC_INFO_LAWS, this, laws, 1);
    Add<QPushButton>(*this, IDC_INFO_FINES, this, laws, 1);
    column->addStretch(1);
}

bool CPageInformation::OnSetActive()
{
    SetDlgItemText(IDC_INFO_PROGRAM_GROUP, Bilingual(u"Program information", u"Информация о программе"));
    SetDlgItemText(IDC_INFO_ABOUT, Bilingual(u"About Travenor Pro...", u"О Travenor Pro"));
    SetDlgItemText(IDC_INFO_REFERENCE_GROUP, Bilingual(u"Reference information", u"Справочная информация"));
    SetDlgItemText(IDC_INFO_HELP, Bilingual(u"Help", u"Справка"));
    SetDlgItemText(IDC_INFO_LAWS_GROUP, Bilingual(u"Road laws", u"Правила дорожного движения"));
    SetDlgItemText(IDC_INFO_LAWS, Bilingual(u"Laws", u"ПДД"));
    SetDlgItemText(IDC_INFO_FINES, Bilingual(u"Fines", u"Штрафы"));
    return CPropertyPage::OnSetActive();
}

void CPageInformation::ShowAbout()
{
    CPropertySheetFullScreen about(QStringLiteral("Travenor Pro"), this);
    CPageAbout page;
    about.AddPage(&page);
    about.DoModal();
}

bool CPageInformation::OnCommand(int id, int code)
{
    if (code != BN_CLICKED)
        return CPropertyPage::OnCommand(id, code);
    switch (id) {
    case IDC_INFO_ABOUT:
        ShowAbout();
        return true;
    // The help opens beside the program; where there is none to open, the
    // button does nothing.
    case IDC_INFO_HELP:
        LaunchHelpViewer(QString::fromLatin1(kHelpContents));
        return true;
    case IDC_INFO_LAWS:
        LaunchHelpViewer(QString::fromLatin1(kLawsContents));
        return true;
    case IDC_INFO_FINES:
        LaunchHelpViewer(QString::fromLatin1(kLawsFines));
        return true;
    default:
        return CPropertyPage::OnCommand(id, code);
    }
}
