#pragma once
// A combo box in the colours of its scheme; its drop-down list has a scheme of
// its own and takes it the first time the list is shown.
#include "ui/color_scheme.h"

#include <QComboBox>

class CColorComboBox : public QComboBox, public CColorScheme {
public:
    explicit CColorComboBox(QWidget* parent = nullptr);
    CColorScheme& ListScheme() { return m_listScheme; }
    bool IsListAttached() const { return m_listAttached; }
    void showPopup() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    CColorScheme m_listScheme;
    bool m_listAttached = false;
};
