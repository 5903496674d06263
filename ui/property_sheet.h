#pragma once
// A property sheet: pages over a tab control whose tabs sit below the pages,
// and a command bar along the bottom of the screen with the sheet's OK and
// Cancel. Pages are owned by whoever added them (the derived sheet's members).
#include "ui/dialog.h"
#include "ui/property_page.h"

#include <QPointer>
#include <vector>

class QTabBar;

// The bar along the bottom of the screen under a sheet, holding its OK and Cancel.
class CCommandBar : public QWidget {
public:
    explicit CCommandBar(QWidget* parent = nullptr);
};

// The tab control: the area the pages cover and the row of tabs along its bottom.
class CTabCtrl : public QWidget {
public:
    explicit CTabCtrl(QWidget* parent);
    QTabBar* TabBar() const { return m_tabs; }
    int GetItemCount() const;
    int GetCurSel() const;
    // The rectangle of a tab in the control's coordinates.
    QRect GetItemRect(int index) const;
    // Where the framework puts a page: the area above the tabs.
    QRect DisplayRect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    int TabsTop() const;
    void paintEvent(QPaintEvent* event) override;

private:
    QTabBar* m_tabs; // owned by this widget
};

class CPropertySheet : public CDialog {
public:
    explicit CPropertySheet(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_active; }
    // Changes the page; false when the page now shown refuses to be left or
    // the index names no page.
    virtual bool SetActivePage(int index);

    CTabCtrl* GetTabControl() const { return m_tabControl; }
    CCommandBar* GetCommandBar() const { return m_commandBar; }
    void SetTabText(int index, const QString& text);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void CreateControls(QWidget* body) override;
    // The body (the sheet's window) changed its size.
    virtual void OnSize();
    // Puts the active page where the framework puts pages.
    void PlaceActivePage();
    void OnWindowMoved() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceCommandBar();

    std::vector<QPointer<CPropertyPage>> m_pages;
    int m_active = -1;
    int m_startPage;
    QSize m_windowSize;
    CTabCtrl* m_tabControl = nullptr; // owned by the body
    CCommandBar* m_commandBar; // owned by this widget
};
