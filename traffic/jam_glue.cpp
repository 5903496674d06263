#include "traffic/jam_glue.h"

#include "traffic/provider_protocol.h"

#include <memory>

namespace {

std::unique_ptr<CJamManager> g_jamManager;
JamCallback g_jamCallback;

constexpr qsizetype kHostCapacity = 255;
constexpr qsizetype kPinCapacity = 41;

} // namespace

int JamTransportConfiguration(const JamSettings& settings, QString* configuration)
{
    configuration->clear();
    switch (settings.kind) {
    case 2:
        *configuration = ProviderConfiguration(settings.defaultServer != 0, settings.host.left(kHostCapacity),
            settings.port, settings.uid, settings.pin.left(kPinCapacity));
        return 2;
    case 3:
        if (!settings.receiverEnabled)
            return 0;
        *configuration = QStringLiteral("COM%1:").arg(settings.comPort);
        return 3;
    default:
        return settings.kind;
    }
}

bool CreateJamManager(const JamSettings& settings, const QString& jamPath)
{
    g_jamManager.reset();
    if (!JamSucceeded(CJamManager::Create(&g_jamManager)))
        return false;
    g_jamManager->SetCallback(g_jamCallback);
    return ApplyJamSettings(settings, &jamPath);
}

bool ApplyJamSettings(const JamSettings& settings, const QString* jamPath)
{
    if (!g_jamManager)
        return false;
    QString configuration;
    const int kind = JamTransportConfiguration(settings, &configuration);
    const JamStatus schedule = g_jamManager->SetSchedule(
        settings.downloadEnabled != 0, int32_t { settings.periodMinutes } * 60000, jamPath);
    if (!JamSucceeded(schedule))
        return false;
    return JamSucceeded(g_jamManager->SetTransport(kind, configuration, settings.timeouts));
}

bool ReapplyJamSettings(const JamSettings& settings) { return ApplyJamSettings(settings, nullptr); }

bool RequestJamUpdate() { return g_jamManager && JamSucceeded(g_jamManager->RequestUpdate()); }

bool ReconnectJamTransport() { return g_jamManager && JamSucceeded(g_jamManager->Reconnect()); }

void SetJamCallback(JamCallback callback)
{
    g_jamCallback = std::move(callback);
    if (g_jamManager)
        g_jamManager->SetCallback(g_jamCallback);
}

void DestroyJamManager() { g_jamManager.reset(); }

CJamManager* GetJamManager() { return g_jamManager.get(); }
