#pragma once
// Each fuzz target reads one kind of input and names the inputs it starts from.
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Well-formed inputs written by our own writers.
std::vector<std::vector<uint8_t>> FuzzSeeds();
