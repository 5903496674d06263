#pragma once
// A page of a property sheet. Its controls are built in code for the template's
// arrangement when the page is first shown; it loads its values then
// (OnInitDialog), checks and keeps them when it is left (OnKillActive) and
// stores them when the sheet ends with OK (OnOK).
#include "ui/control_host.h"

#include <QString>
#include <QWidget>

class CPropertySheet;

class CPropertyPage : public QWidget, public ControlHost {
public:
    explicit CPropertyPage(int templateId, const QString& title = QString());
    ~CPropertyPage() override;

    int GetTemplateId() const { return m_templateId; }
    bool IsLandscapeLayout() const;
    CPropertySheet* GetSheet() const { return m_sheet; }
    bool IsCreated() const { return m_created; }

    // The page's tab caption.
    QString GetTitle() const { return m_title; }
    void SetTitle(const QString& title);

    bool UpdateData(bool saveAndValidate = true);

    virtual bool OnInitDialog();
    virtual bool OnSetActive();
    // False keeps the page (a value was refused).
    virtual bool OnKillActive();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void CreateControls() = 0;
    virtual bool DoDataExchange(bool save);
    bool OnCommand(int id, int code) override;

private:
    friend class CPropertySheet;
    bool EnsureCreated();

    const int m_templateId;
    QString m_title;
    CPropertySheet* m_sheet = nullptr;
    bool m_created = false;
};
