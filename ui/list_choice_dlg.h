#pragma once
// Choose one value from a list: a combo box filled from a list source, with a
// prompt above it and a note below it, full screen.
#include "ui/dialog_full_screen.h"
#include "ui/dialog_layout.h"

#include <QString>
#include <cstdint>

// What a list choice offers: items by index, each a name and a value, and the
// value now chosen, which the dialog preselects and replaces on OK.
class CListSource {
public:
    virtual ~CListSource() = default;
    // Writes the item `index`; false when there is no such item.
    virtual bool Next(int index, QString& name, int32_t& value) = 0;

    int32_t m_current = 0;
};

enum : int {
    IDD_LIST_CHOICE = 817,
    IDC_LIST_CHOICE_COMBO = 1334,
};

class CListChoiceDlg : public CDialogFullScreen {
public:
    explicit CListChoiceDlg(CListSource* source, QWidget* parent = nullptr);

    QString m_prompt; // static 1307
    QString m_note; // static 1306

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    CListSource* m_source; // not owned
};
