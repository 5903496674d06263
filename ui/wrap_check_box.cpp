#include "ui/wrap_check_box.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

} // namespace

CWrapCheckBox::CWrapCheckBox(QWidget* parent)
    : QCheckBox(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRect CWrapCheckBox::IndicatorRect() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
}

int CWrapCheckBox::TextLeft() const
{
    return IndicatorRect().right() + 1 + style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

QRect CWrapCheckBox::TextRect(int width, int height) const
{
    return QRect(TextLeft(), 0, std::max(1, width - TextLeft()), height);
}

int CWrapCheckBox::heightForWidth(int width) const
{
    const QRect text = fontMetrics().boundingRect(TextRect(width, 10000), kTextFlags, this->text());
    return std::max({ QCheckBox::minimumSizeHint().height(), text.height() + 4, minimumHeight() });
}

QSize CWrapCheckBox::sizeHint() const
{
    const QSize oneLine = QCheckBox::sizeHint();
    return QSize(oneLine.width(), std::max(oneLine.height(), minimumHeight()));
}

QSize CWrapCheckBox::minimumSizeHint() const
{
    // The box and the longest word of the text.
    int word = 0;
    for (const QString& part : text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        word = std::max(word, fontMetrics().horizontalAdvance(part));
    return QSize(TextLeft() + word + 2, QCheckBox::minimumSizeHint().height());
}

void CWrapCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = IndicatorRect();
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(TextRect(width(), height()), kTextFlags, text());
}

bool CWrapCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }
