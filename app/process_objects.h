#pragma once
// The program's process-wide objects, built in one fixed order before the
// start-up runs and torn down in the reverse order when the program ends. Each
// object is declared by its own subsystem as a platform::ProcessObject; the
// list in process_objects.cpp is the one place that builds them, so nothing
// depends on the order of static initialisation.
//
// Plain values that need no building (constant tables, locks, the draw
// suspender, the scale list) are no entries: they exist before main() and
// outlive every object of the list.
#include <functional>
#include <vector>

struct ProcessObjectEntry {
    const char* name;
    void (*build)();
    void (*tearDown)();
    bool (*exists)();
};

// The list, in build order.
const std::vector<ProcessObjectEntry>& ProcessObjectList();

// Builds every object of the list in order and tears them down in reverse.
// The observer (tests) hears of each step after it: the entry and whether it
// was built (true) or torn down (false).
class CProcessObjects {
public:
    using Observer = std::function<void(const ProcessObjectEntry& entry, bool built)>;

    explicit CProcessObjects(Observer observer = {});
    ~CProcessObjects();
    CProcessObjects(const CProcessObjects&) = delete;
    CProcessObjects& operator=(const CProcessObjects&) = delete;

private:
    Observer m_observer;
    size_t m_built = 0;
};
