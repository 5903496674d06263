#pragma once
// The search wizard: one question a page, to an address (a street, city or
// village, or a house) or to the points of interest nearest a place, and at
// the end the chosen object shown in the middle of the map. Opened by another
// wizard (at the street-or-house page), it moves nothing and hands the
// object's map point back instead: Finish ends it with 1303, Back on its first
// page with 1302, and Cancel leaves the point unset.
#include "foundation/page_image_list.h"
#include "kernel/api/types.h"
#include "settings/list_sorter.h"
#include "ui/wizard_page.h"
#include "ui/wizard_sheet.h"

#include <QString>
#include <cstdint>

class QTreeWidget;

enum : int {
    IDD_WIZARD_SCH1 = 800,
    IDD_WIZARD_SCH2 = 801,
    IDD_WIZARD_SCH3 = 802,
    IDD_WIZARD_SCH4 = 803,
    IDD_WIZARD_SCH6 = 804,
    IDD_WIZARD_SCH7 = 805,
    IDD_WIZARD_SCH8 = 806,
    IDC_SCH_STREET = 1304,
    IDC_SCH_HOUSE = 1305,
    IDC_SCH_TEXT = 1307,
    IDC_SCH_ADDRESSES = 1308,
    IDC_SCH_COUNT = 1309,
    IDC_SCH_STREET_LABEL = 1310,
    IDC_SCH_HOUSE_LABEL = 1311,
    IDC_SCH_UNIT = 1315,
    IDC_SCH_RADIO = 1316, // the first of a page's radio buttons
    IDC_SCH_NOTE = 1324,
    IDC_SCH_RESULTS = 1052,
    IDC_SCH_COMBO = 1008,
};

// Page indices of the wizard.
enum : int {
    SCH_PAGE_KIND = 0,
    SCH_PAGE_OBJECT = 1,
    SCH_PAGE_NAME = 2,
    SCH_PAGE_RESULT = 3,
    SCH_PAGE_PLACE = 4,
    SCH_PAGE_SIZE = 5,
    SCH_PAGE_TYPE = 6,
};

// The message the result page posts itself to start the search once it is on screen.
constexpr uint32_t WM_SCH_START = platform::WM_APP + 2;

// The sorted column and direction of the wizard's result list, for the whole run.
inline SortState g_wizardPoiSort;

class CWizardSearch;

// What every page of the wizard shares: its wizard, a move to another page,
// and the radio buttons of a choice.
class CWizardSearchPage : public CWizardPage {
public:
    explicit CWizardSearchPage(int templateId);

protected:
    CWizardSearch& Wizard() const;
    void GoTo(int page);
    // The description below the title, word-wrapped.
    void AddText(QBoxLayout* into, int id = IDC_SCH_TEXT);
    void AddRadios(QBoxLayout* into, int count);
    // The radio buttons show `choice`.
    void ShowChoice(int32_t choice, int count);
    bool OnButton(int id) override;
    // A radio button was tapped.
    virtual void OnRadio(int /*index*/) { }
};

// Address or nearest POI.
class CWizardSch1 : public CWizardSearchPage {
public:
    CWizardSch1();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    int32_t m_choice = 0;

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override { }
    void OnRadio(int index) override { m_choice = index; }
};

// A street, city or village, or a house.
class CWizardSch2 : public CWizardSearchPage {
public:
    CWizardSch2();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    int32_t m_choice = 0;

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override;
    void OnRadio(int index) override { m_choice = index; }
};

// The name, and the house number.
class CWizardSch3 : public CWizardSearchPage {
public:
    CWizardSch3();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    QString m_street;
    QString m_house;

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;
    void OnNext() override;
    void OnBack() override;

private:
    void ReadEdits();
    void UpdateNext();
};

// The search and its results.
class CWizardSch4 : public CWizardSearchPage {
public:
    CWizardSch4();
    ~CWizardSch4() override;
    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnCancel() override;
    platform::LRESULT OnMessage(uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) override;

    // The map point of the chosen object; both 0x8000000 when none.
    void GetResultPosition(int32_t& x, int32_t& y) const
    {
        x = m_resultX;
        y = m_resultY;
    }
    QTreeWidget* GetResultList() const;
    // Whether the search of a POI search runs.
    bool IsSearching() const { return m_searching; }

protected:
    void CreateControls() override;
    bool OnCommand(int id, int code) override;
    void OnNext() override;
    void OnBack() override;

private:
    bool IsPoiSearch() const;
    void Search();
    void StartPoiQuery();
    void OnPoiNotice(platform::WPARAM kind, platform::LPARAM value);
    void UnsetResult();

    int32_t m_chosen = -1;
    int32_t m_resultX = 0x8000000;
    int32_t m_resultY = 0x8000000;
    bool m_searching = false;
    CImageList m_rowImages { 16 };
    CImageList m_sortPictures { 16 };
    CListSorter m_sorter;
};

// Where to search for POI.
class CWizardSch6 : public CWizardSearchPage {
public:
    CWizardSch6();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    int32_t m_kind = 1;
    QString m_phrase;
    int32_t m_choice = -1;

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override;
    void OnRadio(int index) override { m_choice = index; }
};

// The square's side or the corridor's width.
class CWizardSch7 : public CWizardSearchPage {
public:
    CWizardSch7();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    int32_t m_size = -1;

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override;
};

// The type of POI.
class CWizardSch8 : public CWizardSearchPage {
public:
    CWizardSch8();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    QString m_typeName;

protected:
    void CreateControls() override;
    void OnNext() override;
    void OnBack() override;
};

class CWizardSearch : public CWizardSheet {
public:
    explicit CWizardSearch(const QString& caption, QWidget* parent = nullptr, int startPage = 0);
    ~CWizardSearch() override;

    // Set when another wizard opened this one, not at the first page.
    void SetNested(bool nested) { m_nested = nested ? 1 : 0; }
    bool IsNested() const { return m_nested != 0; }

    // The sheet's OK goes to the page (Enter acts as Next); Cancel ends the wizard.
    void OnOK() override { }

    CWizardSch1 m_sch1;
    CWizardSch2 m_sch2;
    CWizardSch3 m_sch3;
    CWizardSch4 m_sch4;
    CWizardSch6 m_sch6;
    CWizardSch7 m_sch7;
    CWizardSch8 m_sch8;

private:
    uint8_t m_nested = 0;
};
