// NMEA parsing: every receiver log of the shared data set fed through the
// program's reader as a serial port delivers it (1024-byte reads, a fresh
// reader and fix per log), and in the same run the same bytes through the
// reference daemon's decoder `gpsdecode` (Debian gpsd-clients) as the peer.
// Both report sentences per second on one core; the sentences counted are
// those the program's reader sees (accepted and refused).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "gps/nmea_reader.h"

extern char** environ;

namespace {

const std::filesystem::path kLogs = TRAVENOR_SHARED_DATA_DIR "/nmea";

struct LogSet {
    std::vector<std::string> logs;
    uint64_t sentences = 0;

    LogSet()
    {
        std::vector<std::filesystem::path> paths;
        for (const auto& entry : std::filesystem::directory_iterator(kLogs)) {
            if (entry.path().extension() == ".log")
                paths.push_back(entry.path());
        }
        std::sort(paths.begin(), paths.end());
        for (const auto& path : paths) {
            std::ifstream in(path, std::ios::binary);
            logs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        sentences = ReadAll(nullptr);
    }

    // Reads every log as the program reads a receiver; the sentences seen.
    uint64_t ReadAll(CGpsFix* last) const
    {
        uint64_t seen = 0;
        for (const std::string& log : logs) {
            CNmeaReader reader;
            CGpsFix fix;
            ResetGpsFix(fix);
            for (size_t at = 0; at < log.size(); at += 1024)
                reader.Feed(std::string_view(log).substr(at, 1024), fix);
            seen += reader.Accepted() + reader.Refused();
            if (last)
                *last = fix;
        }
        return seen;
    }
};

const LogSet& Logs()
{
    static const LogSet set;
    return set;
}

void BM_NmeaReader(benchmark::State& state)
{
    const LogSet& set = Logs();
    if (set.logs.empty()) {
        state.SkipWithError("no logs in the shared data folder");
        return;
    }
    CGpsFix last;
    for (auto _ : state) {
        benchmark::DoNotOptimize(set.ReadAll(&last));
        benchmark::ClobberMemory();
    }
    state.counters["sentences/s"] = benchmark::Counter(
        static_cast<double>(set.sentences), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_NmeaReader)->Unit(benchmark::kMillisecond);

// The peer: `gpsdecode` reading the same bytes (every log, 20 times over, so
// that starting the process weighs little) from a file, its JSON thrown away.
void BM_Gpsdecode(benchmark::State& state)
{
    const LogSet& set = Logs();
    constexpr int kRepeats = 20;
    const std::filesystem::path input = std::filesystem::temp_directory_path() / "travenor_nmea_bench.log";
    {
        std::ofstream out(input, std::ios::binary);
        for (int i = 0; i < kRepeats; ++i) {
            for (const std::string& log : set.logs)
                out << log;
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char program[] = "gpsdecode";
    char* argv[] = { program, nullptr };
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        int status = 0;
        if (posix_spawnp(&pid, program, &actions, nullptr, argv, environ) != 0
            || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("gpsdecode (Debian gpsd-clients) did not run");
            break;
        }
        const double elapsed
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
    }
    posix_spawn_file_actions_destroy(&actions);
    std::filesystem::remove(input);
    // The work is the child's: the rate is taken over the wall time of its runs.
    if (seconds > 0.0)
        state.counters["sentences/s"] = static_cast<double>(set.sentences * kRepeats)
            * static_cast<double>(state.iterations()) / seconds;
}
BENCHMARK(BM_Gpsdecode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
