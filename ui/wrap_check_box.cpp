#include "ui/wrap_check_box.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <type_traits>

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

// The style's parts of a check box or a radio button.
template <class Button> struct Parts {
    static constexpr bool radio = std::is_base_of_v<QRadioButton, Button>;
    static constexpr QStyle::SubElement indicator
        = radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
    static constexpr QStyle::PixelMetric spacing
        = radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing;
    static constexpr QStyle::PrimitiveElement primitive
        = radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox;
};

} // namespace

template <class Button>
CWrapButton<Button>::CWrapButton(QWidget* parent)
    : Button(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    this->setSizePolicy(policy);
}

template <class Button> QRect CWrapButton<Button>::IndicatorRect() const
{
    QStyleOptionButton option;
    this->initStyleOption(&option);
    return this->style()->subElementRect(Parts<Button>::indicator, &option, this);
}

template <class Button> int CWrapButton<Button>::TextLeft() const
{
    return IndicatorRect().right() + 1 + this->style()->pixelMetric(Parts<Button>::spacing, nullptr, this);
}

template <class Button> QRect CWrapButton<Button>::TextRect(int width, int height) const
{
    return QRect(TextLeft(), 0, std::max(1, width - TextLeft()), height);
}

template <class Button> int CWrapButton<Button>::heightForWidth(int width) const
{
    const QRect text = this->fontMetrics().boundingRect(TextRect(width, 10000), kTextFlags, this->text());
    return std::max({ Button::minimumSizeHint().height(), text.height() + 4, this->minimumHeight() });
}

template <class Button> QSize CWrapButton<Button>::sizeHint() const
{
    const QSize oneLine = Button::sizeHint();
    return QSize(oneLine.width(), std::max(oneLine.height(), this->minimumHeight()));
}

template <class Button> QSize CWrapButton<Button>::minimumSizeHint() const
{
    // The box and the longest word of the text.
    int word = 0;
    for (const QString& part :
        this->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        word = std::max(word, this->fontMetrics().horizontalAdvance(part));
    return QSize(TextLeft() + word + 2, Button::minimumSizeHint().height());
}

template <class Button> void CWrapButton<Button>::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    this->initStyleOption(&option);
    option.rect = IndicatorRect();
    painter.drawPrimitive(Parts<Button>::primitive, option);
    painter.setPen(this->palette().color(
        this->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(TextRect(this->width(), this->height()), kTextFlags, this->text());
}

template <class Button> bool CWrapButton<Button>::hitButton(const QPoint& pos) const
{
    return this->rect().contains(pos);
}

template class CWrapButton<QCheckBox>;
template class CWrapButton<QRadioButton>;
