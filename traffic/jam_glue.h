#pragma once
// The application's side of the traffic-jam manager: it creates the one
// manager at start-up, turns the traffic settings into the manager's schedule
// and the transport's configuration, forwards download-now and reconnect
// requests, and destroys the manager at exit. User-interface thread only.
#include "traffic/jam_manager.h"
#include "traffic/jam_settings.h"

#include <QString>

// Creates the manager with the stored callback and applies the settings.
bool CreateJamManager(const JamSettings& settings, const QString& jamPath);
// The schedule (period, jam file path when given) and then the transport;
// true when both were taken. False without a manager.
bool ApplyJamSettings(const JamSettings& settings, const QString* jamPath);
// ApplyJamSettings keeping the jam file path.
bool ReapplyJamSettings(const JamSettings& settings);
bool RequestJamUpdate();
bool ReconnectJamTransport();
// Stores the application's callback for the manager that exists or comes.
void SetJamCallback(JamCallback callback);
// Stops the worker and destroys the manager.
void DestroyJamManager();
// The manager, or null before CreateJamManager and after DestroyJamManager.
CJamManager* GetJamManager();

// The transport kind and its configuration text for the settings: kind 2
// the five provider lines, kind 3 "COM%d:" (kind 0 and no text while the
// receiver is switched off), kind 1 no text.
int JamTransportConfiguration(const JamSettings& settings, QString* configuration);
