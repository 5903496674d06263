#pragma once
// The traffic settings record g_jamSettings: one block of the program's
// settings, read by the traffic glue on the user-interface thread and written
// by the settings model, the Jams page and the traffic dialogs.
#include <QString>
#include <cstdint>

// How long the provider download waits for the network. Not part of the
// settings file: the settings model may set them, the defaults serve otherwise.
struct JamNetworkTimeouts {
    uint32_t connectMs = 15000; // connecting to the provider
    uint32_t transferMs = 30000; // sending a request and receiving its whole answer
    bool operator==(const JamNetworkTimeouts&) const = default;
};

struct JamSettings {
    uint16_t kind = 2; // transport: 1 stub, 2 provider download, 3 serial receiver
    int32_t downloadEnabled = 0; // regular downloading
    uint16_t periodMinutes = 5; // 5 ... 60
    int32_t defaultServer = 1; // 1 while the account dialog's advanced options are off
    QString host; // provider host, at most 255 characters
    uint16_t port = 80;
    uint64_t uid = 0; // subscriber number, 0 none
    QString pin; // at most 40 characters
    int32_t receiverEnabled = 0;
    uint16_t comPort = 2; // the receiver's COM port number
    JamNetworkTimeouts timeouts;
};

inline JamSettings g_jamSettings;
