#include "app/about_page.h"

#include "app/map_set.h"
#include "foundation/app_services.h"
#include "foundation/dialog_templates.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/resource_dll.h"
#include "platform/little_endian.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "ui/dialog_layout.h"
#include "ui/dialog_style.h"

#include <QBitmap>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char kContactsEn[] = "www.orvantis.example\nsupport@orvantis.example\nTel. +7 495 000-00-00";
const char kContactsRu[] = "www.orvantis.example\nsupport@orvantis.example\nТел. +7 495 000-00-00";

const char kNoticesEn[]
    = "Travenor Pro © Orvantis. All rights reserved.\n"
      "Map of Voradu: a fictional city drawn for this program.\n"
      "Built with Qt (LGPL 3), SDL 2 (zlib licence), FreeType (FreeType licence), libjpeg-turbo "
      "(IJG licence) and OpenSSL (Apache 2.0).\n"
      "Fonts: DejaVu (Bitstream Vera licence) and Liberation (SIL Open Font Licence). Symbols: Material "
      "Design Icons (Apache 2.0). Voice prompts spoken by eSpeak NG.";
const char kNoticesRu[]
    = "Travenor Pro © Orvantis. Все права защищены.\n"
      "Карта Ворадý: вымышленный город, нарисованный для этой программы.\n"
      "В программе использованы Qt (LGPL 3), SDL 2 (лицензия zlib), FreeType (лицензия FreeType), "
      "libjpeg-turbo (лицензия IJG) и OpenSSL (Apache 2.0).\n"
      "Шрифты: DejaVu (лицензия Bitstream Vera) и Liberation (SIL Open Font Licence). Значки: Material "
      "Design Icons (Apache 2.0). Голосовые подсказки озвучены eSpeak NG.";

QString versionText()
{
    return QString::asprintf("v.%d.%d.%d%s.", kVersionMajor, kVersionMinor, kVersionBuild, kVersionSuffix);
}

} // namespace

bool BuildVersionStrings(QString& productLine, QString& notices, QString& contacts, QString& shortVersion)
{
    const QString mapTitle = g_mapFileName.isEmpty() ? QString() : GetFileTitle(g_mapFileName);
    productLine
        = QStringLiteral("Travenor Pro Voradu\n") + versionText() + QStringLiteral(" map:") + mapTitle;
    shortVersion = versionText();
    const bool english = g_language == LANGUAGE_ENGLISH;
    notices = QString::fromUtf8(english ? kNoticesEn : kNoticesRu);
    contacts = QString::fromUtf8(english ? kContactsEn : kContactsRu);
    return true;
}

bool LoadTextFileIntoWindow(const QString& folder, const QString& name, QWidget* window)
{
    QFile file(QDir(platform::DevicePathToLocal(folder)).filePath(name));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (bytes.isEmpty()) {
        const QString text = QStringLiteral(
            "Файл \"%1\" не найден или не может быть открыт. Он должен находиться в той же директории, что и "
            "Travenor Pro.exe. File \"%1\" not found or cannot be opened. It must be in the same folder as "
            "Travenor Pro.exe.")
                                 .arg(name);
        AppMessageBoxText(text, platform::MB_OK);
        return false;
    }
    // UTF-16, little-endian; an odd last byte is no character.
    QString text(static_cast<qsizetype>(bytes.size() / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(
            platform::Le16(reinterpret_cast<const uint8_t*>(bytes.constData()) + 2 * i)));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    SetWindowText(window, text);
    return true;
}

QPixmap ApplicationIcon()
{
    const QImage image(
        QDir(ProgramResourceFolder()).filePath(QStringLiteral("%1.bmp").arg(kApplicationIconId)));
    QPixmap icon = QPixmap::fromImage(image);
    if (!icon.isNull())
        icon.setMask(QBitmap::fromImage(image.createMaskFromColor(0xFFFF00FFu, Qt::MaskInColor)));
    return icon;
}

void SetWindowTextFormat(QWidget* window, const QString& value) { SetWindowText(window, value); }

void SetWindowTextFormat(QWidget* window, const char* format, int value)
{
    SetWindowText(window, format ? QString::asprintf(format, value) : QString::number(value));
}

CPageAbout::CPageAbout()
    : CPropertyPage(GetOrientedDialogId(IDD_ABOUT), QStringLiteral("About"))
{
}

void CPageAbout::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    // The notices reach the page's edges, 3 pixels in on the right and 2 at the bottom.
    layout->setContentsMargins(DialogMargin(), DialogMargin(), 3, 2);
    layout->setSpacing(DialogSpacing());
    auto* top = new QHBoxLayout;
    auto* icon = AddControl<QLabel>(IDC_ABOUT_ICON, this);
    icon->setPixmap(ApplicationIcon());
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    auto* product = AddControl<QLabel>(IDC_ABOUT_PRODUCT, this);
    product->setFont(DialogFont(13, QFont::Bold));
    product->setWordWrap(true);
    top->addWidget(product, 1);
    layout->addLayout(top);
    auto* contacts = AddControl<QLabel>(IDC_ABOUT_CONTACTS, this);
    contacts->setWordWrap(true);
    layout->addWidget(contacts);
    auto* notices = AddControl<QPlainTextEdit>(IDC_ABOUT_NOTICES, this);
    notices->setReadOnly(true);
    notices->document()->setDocumentMargin(3);
    layout->addWidget(notices, 1);
    auto* buy = AddControl<QPushButton>(IDC_ABOUT_WHERE_TO_BUY, this);
    buy->setText(QStringLiteral("Where to buy"));
    layout->addWidget(buy);
}

bool CPageAbout::OnInitDialog()
{
    GetDlgItem(IDC_ABOUT_WHERE_TO_BUY)->hide();
    QString shortVersion;
    BuildVersionStrings(m_productLine, m_notices, m_contacts, shortVersion);
    return CPropertyPage::OnInitDialog();
}

bool CPageAbout::DoDataExchange(bool save)
{
    if (!save) {
        SetDlgItemText(IDC_ABOUT_PRODUCT, m_productLine);
        SetDlgItemText(IDC_ABOUT_CONTACTS, m_contacts);
        SetDlgItemText(IDC_ABOUT_NOTICES, m_notices);
    }
    return true;
}

CLicenseAgreementDlg::CLicenseAgreementDlg(QWidget* parent)
    : CDialog(GetOrientedDialogId(IDD_LICENSE_AGREEMENT), parent)
{
}

void CLicenseAgreementDlg::CreateControls(QWidget* body)
{
    DialogLayout layout(*this, body, IsLandscapeLayout());
    auto* text = AddControl<QPlainTextEdit>(IDC_LICENSE_TEXT, body);
    text->setReadOnly(true);
    layout.Form()->addWidget(text, 1);
    layout.AddButtons({ { IDC_LICENSE_ACCEPT, QStringLiteral("Согласен\n(Accept)") },
        { platform::IDCANCEL, QStringLiteral("Не согласен\n(Decline)") } });
    // The text takes the room the buttons leave.
    layout.Form()->setStretch(layout.Form()->count() - 1, 0);
}

bool CLicenseAgreementDlg::OnInitDialog()
{
    LoadTextFileIntoWindow(
        m_folder.isEmpty() ? platform::ProgramFolder() : m_folder, m_fileName, GetDlgItem(IDC_LICENSE_TEXT));
    return CDialog::OnInitDialog();
}

bool CLicenseAgreementDlg::OnCommand(int id, int code)
{
    if (id == IDC_LICENSE_ACCEPT && code == BN_CLICKED) {
        m_accepted = 1;
        EndDialog(platform::IDOK);
        return true;
    }
    return CDialog::OnCommand(id, code);
}
