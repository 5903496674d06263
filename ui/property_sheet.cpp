#include "ui/property_sheet.h"

#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>

CCommandBar::CCommandBar(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xd8, 0xd8, 0xd8));
    setPalette(p);
}

CTabCtrl::CTabCtrl(QWidget* parent)
    : QWidget(parent)
    , m_tabs(new QTabBar(this))
{
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideRight);
    m_tabs->setFont(DialogFont());
}

int CTabCtrl::GetItemCount() const { return m_tabs->count(); }

int CTabCtrl::GetCurSel() const { return m_tabs->currentIndex(); }

// Computed from the control's size rather than the tab row's position: a hidden
// sheet gets its resize events only when it is shown.
int CTabCtrl::TabsTop() const { return height() - std::max(m_tabs->sizeHint().height(), TouchHeight()); }

QRect CTabCtrl::GetItemRect(int index) const { return m_tabs->tabRect(index).translated(0, TabsTop()); }

QRect CTabCtrl::DisplayRect() const { return QRect(0, 0, width(), std::max(0, TabsTop())); }

void CTabCtrl::resizeEvent(QResizeEvent*)
{
    m_tabs->setGeometry(0, TabsTop(), width(), height() - TabsTop());
}

void CTabCtrl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(DisplayRect().adjusted(0, 0, -1, 0));
}

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent, int selectPage)
    : CDialog(0, parent)
    , m_startPage(selectPage)
    , m_commandBar(new CCommandBar(this))
{
    setWindowTitle(caption);
}

CPropertySheet::~CPropertySheet()
{
    // The pages belong to whoever added them; take them back from Qt so that
    // destroying the sheet's widgets does not destroy them too.
    for (const QPointer<CPropertyPage>& page : m_pages)
        if (page) {
            page->m_sheet = nullptr;
            page->setParent(nullptr);
        }
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    m_pages.emplace_back(page);
    page->m_sheet = this;
    if (m_tabControl) {
        page->setParent(Body());
        m_tabControl->TabBar()->addTab(page->GetTitle());
    }
}

void CPropertySheet::RemovePage(CPropertyPage* page)
{
    const int index = GetPageIndex(page);
    if (index < 0)
        return;
    m_pages.erase(m_pages.begin() + index);
    // The page goes back to whoever added it: the sheet's widgets must not
    // destroy it, and it must not call a sheet that may be gone.
    page->m_sheet = nullptr;
    if (page->parentWidget() == Body()) {
        page->hide();
        page->setParent(nullptr);
    }
    if (m_tabControl && index < m_tabControl->GetItemCount())
        m_tabControl->TabBar()->removeTab(index);
    if (m_active == index)
        m_active = -1;
    else if (m_active > index)
        --m_active;
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[index].data() : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == page)
            return static_cast<int>(i);
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_active); }

void CPropertySheet::SetTabText(int index, const QString& text)
{
    if (m_tabControl && index >= 0 && index < m_tabControl->GetItemCount())
        m_tabControl->TabBar()->setTabText(index, text);
}

void CPropertySheet::CreateControls(QWidget* body)
{
    m_tabControl = new CTabCtrl(body);
    m_tabControl->setGeometry(body->rect());
    for (const QPointer<CPropertyPage>& page : m_pages) {
        page->setParent(body);
        page->hide();
        m_tabControl->TabBar()->addTab(page->GetTitle());
    }
    // A tapped tab asks for its page; a page that refuses to be left keeps its tab.
    QObject::connect(m_tabControl->TabBar(), &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index != m_active && !SetActivePage(index))
            m_tabControl->TabBar()->setCurrentIndex(m_active);
    });

    auto* bar = new QHBoxLayout(m_commandBar);
    bar->setContentsMargins(ScaleByDpiX(2), ScaleByDpiY(1), ScaleByDpiX(2), ScaleByDpiY(1));
    bar->setSpacing(ScaleByDpiX(4));
    bar->addStretch(1);
    for (int id : { static_cast<int>(platform::IDOK), static_cast<int>(platform::IDCANCEL) }) {
        auto* button = AddControl<QPushButton>(id, m_commandBar);
        button->setFont(DialogFont());
        button->setMinimumWidth(ScaleByDpiX(70));
        bar->addWidget(button);
    }
}

bool CPropertySheet::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetOkCancelTexts(*this);
    const int start = m_startPage >= 0 && m_startPage < GetPageCount() ? m_startPage : 0;
    SetActivePage(start);
    PlaceCommandBar();
    return true;
}

bool CPropertySheet::SetActivePage(int index)
{
    CPropertyPage* next = GetPage(index);
    if (!next)
        return false;
    // Before the sheet is built there is no tab to show: the page becomes the one it opens with.
    if (!m_tabControl) {
        m_startPage = index;
        return true;
    }
    CPropertyPage* current = GetActivePage();
    if (current == next)
        return true;
    if (current && !current->OnKillActive()) {
        m_tabControl->TabBar()->setCurrentIndex(m_active);
        return false;
    }
    if (!next->EnsureCreated())
        return false;
    if (current)
        current->hide();
    m_active = index;
    m_tabControl->TabBar()->setCurrentIndex(index);
    PlaceActivePage();
    next->show();
    next->raise();
    next->OnSetActive();
    return true;
}

void CPropertySheet::PlaceActivePage()
{
    if (CPropertyPage* page = GetActivePage())
        page->setGeometry(m_tabControl->DisplayRect().translated(m_tabControl->pos()));
}

void CPropertySheet::OnOK()
{
    CPropertyPage* active = GetActivePage();
    if (active && !active->OnKillActive())
        return;
    for (const QPointer<CPropertyPage>& page : m_pages)
        if (page && page->IsCreated())
            page->OnOK();
    EndDialog(platform::IDOK);
}

void CPropertySheet::OnCancel()
{
    for (const QPointer<CPropertyPage>& page : m_pages)
        if (page && page->IsCreated())
            page->OnCancel();
    EndDialog(platform::IDCANCEL);
}

void CPropertySheet::OnSize()
{
    m_tabControl->setGeometry(Body()->rect());
    PlaceActivePage();
}

void CPropertySheet::PlaceCommandBar()
{
    const QRect body = GetWindowRect();
    const int top = body.bottom() + 1;
    m_commandBar->setGeometry(0, top, width(), std::max(0, height() - top));
    m_commandBar->setVisible(top < height());
}

void CPropertySheet::resizeEvent(QResizeEvent* event)
{
    CDialog::resizeEvent(event);
    PlaceCommandBar();
}

void CPropertySheet::OnWindowMoved()
{
    PlaceCommandBar();
    // Before the sheet is built there is nothing to lay out; building it lays out its own size.
    if (m_tabControl && GetWindowRect().size() != m_windowSize) {
        m_windowSize = GetWindowRect().size();
        OnSize();
    }
}
