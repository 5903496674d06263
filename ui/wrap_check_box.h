#pragma once
// Check boxes and radio buttons whose text wraps onto further lines where
// their row is too narrow for it, as the handheld's multi-line buttons do; a
// tap anywhere on one presses it.
#include <QCheckBox>
#include <QRadioButton>

template <class Button> class CWrapButton : public Button {
public:
    explicit CWrapButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    // Where the box and the text go in a widget of `width`.
    QRect IndicatorRect() const;
    QRect TextRect(int width, int height) const;
    int TextLeft() const;
};

class CWrapCheckBox : public CWrapButton<QCheckBox> {
public:
    using CWrapButton::CWrapButton;
};

class CWrapRadioButton : public CWrapButton<QRadioButton> {
public:
    using CWrapButton::CWrapButton;
};
