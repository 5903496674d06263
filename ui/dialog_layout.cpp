#include "ui/dialog_layout.h"

#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "platform/message_box.h"
#include "ui/control_host.h"
#include "ui/dialog_style.h"

#include <QLabel>
#include <QPushButton>

DialogLayout::DialogLayout(ControlHost& host, QWidget* body, bool landscape)
    : m_host(host)
    , m_body(body)
    , m_landscape(landscape)
{
    auto* outer = landscape ? static_cast<QBoxLayout*>(new QHBoxLayout(body)) : new QVBoxLayout(body);
    outer->setContentsMargins(DialogMargin(), DialogMargin(), DialogMargin(), DialogMargin());
    outer->setSpacing(DialogSpacing());
    m_form = new QVBoxLayout;
    m_form->setSpacing(DialogSpacing());
    outer->addLayout(m_form, 1);
    m_buttons = landscape ? static_cast<QBoxLayout*>(new QVBoxLayout) : new QHBoxLayout;
    m_buttons->setSpacing(DialogSpacing());
    outer->addLayout(m_buttons);
}

QLabel* DialogLayout::AddPrompt(int id)
{
    auto* label = m_host.AddControl<QLabel>(id, m_body);
    label->setWordWrap(true);
    label->setFont(DialogFont(13, QFont::Bold));
    m_form->addWidget(label);
    return label;
}

QWidget* DialogLayout::AddField(QWidget* field)
{
    StyleTouchControl(field);
    m_form->addWidget(field);
    return field;
}

QLabel* DialogLayout::AddNote(int id)
{
    auto* label = m_host.AddControl<QLabel>(id, m_body);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_form->addWidget(label);
    return label;
}

void DialogLayout::AddOkCancel()
{
    AddButtons(
        { { platform::IDOK, QStringLiteral("OK") }, { platform::IDCANCEL, QStringLiteral("Cancel") } });
}

void DialogLayout::AddButtons(std::initializer_list<std::pair<int, QString>> buttons)
{
    m_form->addStretch(1);
    for (const auto& [id, caption] : buttons) {
        auto* button = m_host.AddControl<QPushButton>(id, m_body);
        button->setText(caption);
        StyleTouchControl(button);
        if (m_landscape)
            button->setMinimumWidth(ScaleByDpiX(90));
        m_buttons->addWidget(button, m_landscape ? 0 : 1);
    }
    if (m_landscape)
        m_buttons->addStretch(1);
}

void SetOkCancelTexts(ControlHost& host)
{
    host.SetDlgItemText(platform::IDOK, QStringLiteral("OK"));
    host.SetDlgItemText(platform::IDCANCEL,
        g_language == LANGUAGE_RUSSIAN ? QStringLiteral("Отмена") : QStringLiteral("Cancel"));
}
