#pragma once
// The Information page: the program's About page, its help, and the rules of
// the road with the fines. It changes no setting.
#include "ui/property_page.h"

enum : int {
    IDD_PAGE_INFORMATION = 1008,
    IDC_INFO_PROGRAM_GROUP = 1220,
    IDC_INFO_ABOUT = 1219,
    IDC_INFO_REFERENCE_GROUP = 1222,
    IDC_INFO_HELP = 9,
    IDC_INFO_LAWS_GROUP = 1224,
    IDC_INFO_LAWS = 10,
    IDC_INFO_FINES = 11,
};

// The help references the page's buttons open.
inline constexpr const char* kHelpContents = "file:TravenorProHelp.htm#Main_Contents";
inline constexpr const char* kLawsContents = "file:Pdd.htm#Main_Contents";
inline constexpr const char* kLawsFines = "file:Pdd.htm#28";

class CPageInformation : public CPropertyPage {
public:
    CPageInformation();
    bool OnSetActive() override;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;

private:
    void ShowAbout();
};
