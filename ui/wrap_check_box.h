#pragma once
// A check box whose text wraps onto further lines where its row is too
// narrow for it, as the handheld's multi-line check boxes do; a tap anywhere
// on it toggles it.
#include <QCheckBox>

class CWrapCheckBox : public QCheckBox {
public:
    explicit CWrapCheckBox(QWidget* parent = nullptr);

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
