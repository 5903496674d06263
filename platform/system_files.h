#pragma once
// The system's own files the program reads to learn about the device (/sys,
// /proc, /dev): the device's model name, its radios. Tests stand a temporary
// folder in for the root of those paths.
#include <QString>

namespace platform {

// The path of a system file under the current root ("/" unless a test set another).
QString SystemFilePath(const QString& absolutePath);
// Sets the root that system paths are read under; empty restores "/".
void SetSystemRoot(const QString& root);

// The first line of a system file without surrounding white space (and a
// device tree's terminating NUL); empty when it cannot be read.
QString ReadSystemFileLine(const QString& absolutePath);

// The device's model as its firmware names it: the DMI product name, else
// the device tree's model; empty when neither is known.
QString DeviceModelName();

// Points the system root at a folder for a scope.
class ScopedSystemRoot {
public:
    explicit ScopedSystemRoot(const QString& root) { SetSystemRoot(root); }
    ~ScopedSystemRoot() { SetSystemRoot(QString()); }
    ScopedSystemRoot(const ScopedSystemRoot&) = delete;
    ScopedSystemRoot& operator=(const ScopedSystemRoot&) = delete;
};

} // namespace platform
