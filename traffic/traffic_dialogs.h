#pragma once
// The two small dialogs of the Jams page that edit g_jamSettings: the provider
// account (subscriber number, PIN, and as advanced options the provider's host
// and port; resetting the access code) and the serial traffic receiver (on or
// off, its COM port and whether that port can be had).
#include "ui/dialog.h"

#include <QString>
#include <cstdint>
#include <optional>

enum : int {
    IDD_JAM_SERVICE = 787,
    IDC_JAM_SERVICE_GROUP = 1283,
    IDC_JAM_SERVICE_UID_LABEL = 1284,
    IDC_JAM_SERVICE_UID = 1050,
    IDC_JAM_SERVICE_PIN_LABEL = 1285,
    IDC_JAM_SERVICE_PIN = 1051,
    IDC_JAM_SERVICE_ADVANCED_GROUP = 1286,
    IDC_JAM_SERVICE_ADVANCED = 1027,
    IDC_JAM_SERVICE_HOST_LABEL = 1287,
    IDC_JAM_SERVICE_HOST = 1281,
    IDC_JAM_SERVICE_PORT_LABEL = 1288,
    IDC_JAM_SERVICE_PORT = 1282,
    IDC_JAM_SERVICE_RESET = 1302,

    IDD_ROZ_MODULE = 788,
    IDC_ROZ_USE = 1027,
    IDC_ROZ_PORT_GROUP = 1291,
    IDC_ROZ_PORT = 1008,
    IDC_ROZ_STATUS_LABEL = 1300,
    IDC_ROZ_STATUS = 1301,
};

// The longest host and PIN the record keeps.
inline constexpr int kJamHostMaxLength = 255;
inline constexpr int kJamPinMaxLength = 40;

// The leading decimal digits of `text` as a number no larger than `most`: 0
// when the text does not start with a digit, none when the number is larger.
std::optional<uint64_t> LeadingNumber(const QString& text, uint64_t most);

class CJamServiceDlg : public CDialog {
public:
    explicit CJamServiceDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    // Stores the typed account into g_jamSettings; a value the record cannot
    // hold is refused and the dialog stays open on its field.
    void OnOK() override;

protected:
    void CreateControls(QWidget* body) override;
    bool DoDataExchange(bool save) override;
    bool OnCommand(int id, int code) override;

private:
    void OnAdvancedClicked();
    void OnResetAccessCode();
    void Refuse(int id, const QString& english, const QString& russian);

    QString m_pin;
    QString m_host;
    QString m_port;
    QString m_uid;
};

class CRozModuleDlg : public CDialog {
public:
    explicit CRozModuleDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    // Closing the window keeps the switch and the port as OK does.
    void OnCancel() override;

protected:
    void CreateControls(QWidget* body) override;
    bool OnCommand(int id, int code) override;

private:
    void OnUseRozClicked();
    void UpdateStatus();
    void Store();

    uint16_t m_heldPort = 0; // the receiver's port when the dialog opened
};
