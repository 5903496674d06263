// A worker posts a message to the user-interface thread and then writes a
// value that the message's handler reads: nothing orders the write and the
// read. Built only with ThreadSanitizer, which must report the race even
// though the read runs inside Qt's event delivery.
#include <QCoreApplication>
#include <cstdio>
#include <thread>

#include "platform/messages.h"

namespace {

int g_shared = 0;

struct Reader : platform::MessageTarget {
    bool handled = false;
    int seen = 0;
    platform::LRESULT OnMessage(uint32_t, platform::WPARAM, platform::LPARAM) override
    {
        seen = g_shared;
        handled = true;
        return 0;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Reader reader;
    std::thread worker([&] {
        platform::post(&reader, platform::WM_APP);
        g_shared = 1;
    });
    while (!reader.handled)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    std::printf("handled, saw %d\n", reader.seen);
    return 0;
}
