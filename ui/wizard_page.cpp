#include "ui/wizard_page.h"

#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"
#include "ui/wizard_sheet.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr uint32_t kPageColor = 0xBBFFA8;
constexpr uint32_t kFieldColor = 0xDDFFD3;

} // namespace

CWizardPage::CWizardPage(int templateId, const QString& title)
    : CColorPropertyPage(templateId, title)
{
}

CWizardSheet* CWizardPage::GetWizard() const { return dynamic_cast<CWizardSheet*>(GetSheet()); }

bool CWizardPage::OnInitDialog()
{
    CColorPropertyPage::OnInitDialog();
    CWizardSheet* sheet = GetWizard();
    if (sheet)
        SetColors(&sheet->PageBrush(), kPageColor);
    if (auto* title = GetDlgItemAs<QLabel>(IDC_WIZARD_TITLE); title && sheet && sheet->TitleFont())
        title->setFont(*sheet->TitleFont());
    struct Caption {
        int id;
        const char16_t* english;
        const char16_t* russian;
    };
    static const Caption captions[] = {
        { platform::IDCANCEL, u"Cancel", u"Отмена" },
        { IDC_WIZARD_NEXT, u"Next  >", u"Далее  >" },
        { IDC_WIZARD_BACK, u"<  Back", u"<  Назад" },
    };
    if (g_language == LANGUAGE_ENGLISH || g_language == LANGUAGE_RUSSIAN)
        for (const Caption& c : captions)
            if (GetDlgItem(c.id))
                SetDlgItemText(
                    c.id, QString::fromUtf16(g_language == LANGUAGE_RUSSIAN ? c.russian : c.english));
    return true;
}

const QBrush* CWizardPage::OnCtlColor(QWidget*, int type, QColor* background)
{
    CWizardSheet* sheet = GetWizard();
    if (sheet && (type == CTLCOLOR_EDIT || type == CTLCOLOR_LISTBOX)) {
        *background = ColorFromRef(kFieldColor);
        return &sheet->FieldBrush();
    }
    if (sheet && type == CTLCOLOR_BTN)
        return &sheet->FieldBrush();
    if (type == CTLCOLOR_STATIC)
        *background = ColorFromRef(GetColor());
    return GetBrush();
}

bool CWizardPage::OnCommand(int id, int code)
{
    if (code != BN_CLICKED)
        return CColorPropertyPage::OnCommand(id, code);
    switch (id) {
    case IDC_WIZARD_NEXT:
        OnNext();
        return true;
    case IDC_WIZARD_BACK:
        OnBack();
        return true;
    case platform::IDCANCEL:
        if (CWizardSheet* sheet = GetWizard())
            sheet->OnCancel();
        return true;
    default:
        return OnButton(id) || CColorPropertyPage::OnCommand(id, code);
    }
}

void CWizardPage::OnOK()
{
    if (IsDlgItemEnabled(IDC_WIZARD_NEXT))
        platform::send(this, platform::WM_COMMAND, MAKEWPARAM(IDC_WIZARD_NEXT, BN_CLICKED));
}

QBoxLayout* CWizardPage::CreateWizardLayout()
{
    DialogLayout layout(*this, this, IsLandscapeLayout());
    auto* title = AddControl<QLabel>(IDC_WIZARD_TITLE, this);
    title->setWordWrap(true);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout.Form()->addWidget(title);
    auto* content = new QVBoxLayout;
    content->setSpacing(DialogSpacing());
    layout.Form()->addLayout(content);
    layout.AddButtons({ { IDC_WIZARD_BACK, QStringLiteral("<  Back") },
        { IDC_WIZARD_NEXT, QStringLiteral("Next  >") }, { platform::IDCANCEL, QStringLiteral("Cancel") } });
    return content;
}

int SetStaticTextFitted(QLabel* control, const QString& text, int shift, int* outBottom)
{
    const QRect client = control->rect().adjusted(1, 1, -1, -1);
    const int needed = QFontMetrics(control->font())
                           .boundingRect(client, Qt::AlignHCenter | Qt::TextWordWrap, text)
                           .height();
    const QRect old = control->geometry();
    const int change = needed + 1 - old.height();
    if (shift != 0)
        control->setGeometry(old.x(), old.y() + shift, old.width(), old.height() + change);
    else if (change != 0)
        control->resize(old.width(), old.height() + change);
    // Always the parent's coordinates, whether the control moved or not, so
    // callers can stack the next control below it.
    if (outBottom)
        *outBottom = shift + change + old.y() + old.height();
    control->setText(text);
    return shift + change;
}

int MoveControlDown(QWidget* control, int amount)
{
    const QRect old = control->geometry();
    if (amount != 0)
        control->move(old.x(), old.y() + amount);
    return amount + old.y() + old.height();
}

int SetTitleAndShift(QLabel* title, QWidget* description, const QString& text)
{
    const int change = SetStaticTextFitted(title, text, 0, nullptr);
    if (change != 0)
        MoveControlDown(description, change);
    return change;
}
