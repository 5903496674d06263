// Runs a map fuzz target without libFuzzer: its seeds, the inputs kept from
// fuzzing runs (every file of the folders named after the run count), then
// seeded random mutations of the seeds (bytes flipped, fields overwritten with
// edge values, cuts, insertions). `--seeds DIR` writes the seeds as a starting
// corpus instead.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/kernel_fuzz/fuzz_target.h"

namespace {

std::vector<uint8_t> Mutate(std::vector<uint8_t> input, std::mt19937& random)
{
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int c = 0; c < changes; ++c) {
        const size_t at = input.empty() ? 0 : random() % input.size();
        switch (random() % 6) {
        case 0:
            if (!input.empty())
                input[at] ^= static_cast<uint8_t>(1u << (random() % 8));
            break;
        case 1:
            if (!input.empty())
                input[at] = static_cast<uint8_t>(random());
            break;
        case 2: { // a 16- or 32-bit field set to an edge value
            static const uint32_t edges[]
                = { 0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu };
            const uint32_t v = edges[random() % (sizeof edges / sizeof edges[0])];
            const size_t width = random() % 2 ? 2 : 4;
            for (size_t i = 0; i < width && at + i < input.size(); ++i)
                input[at + i] = static_cast<uint8_t>(v >> (8 * i));
            break;
        }
        case 3:
            input.resize(at);
            break;
        case 4:
            input.insert(
                input.begin() + static_cast<long>(at), 1 + random() % 16, static_cast<uint8_t>(random()));
            break;
        default:
            if (at < input.size()) {
                const size_t end = std::min(input.size(), at + 1 + random() % 8);
                input.erase(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(end));
            }
            break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::vector<uint8_t>> seeds = FuzzSeeds();
    if (argc == 3 && std::strcmp(argv[1], "--seeds") == 0) {
        for (size_t i = 0; i < seeds.size(); ++i) {
            const std::string path = std::string(argv[2]) + "/seed" + std::to_string(i);
            FILE* f = std::fopen(path.c_str(), "wb");
            if (f == nullptr || std::fwrite(seeds[i].data(), 1, seeds[i].size(), f) != seeds[i].size()) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
            std::fclose(f);
        }
        return 0;
    }
    const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 3000;
    for (const auto& seed : seeds)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
    int kept = 0;
    for (int i = 2; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)), {});
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++kept;
        }
    }
    std::mt19937 random(20261210);
    for (long i = 0; i < runs; ++i) {
        const std::vector<uint8_t> input = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds, %d kept inputs and %ld mutations read\n", seeds.size(), kept, runs);
    return 0;
}
