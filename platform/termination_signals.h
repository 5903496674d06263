#pragma once
// SIGTERM and SIGINT (a kill, Ctrl+C in the terminal) as a request to close
// the program. The signal handler only writes the signal's number to a pipe;
// a socket notifier reads it on the user-interface thread and calls the
// request there, where the program may do anything. The handler is reset by
// its first signal, so a second one ends a program that does not close.
#include <functional>

namespace platform {

// Call on the user-interface thread once the QCoreApplication exists; a later
// call replaces the request. False when the pipe or the handlers could not be set up.
bool WatchTerminationSignals(std::function<void(int signal)> request);

} // namespace platform
