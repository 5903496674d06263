#pragma once
// Small maps written by our map writer for the kernel's file tests.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapwriter/map_writer.h"

namespace testing_support {

// A 44-byte style of the group, found by point searches (flags 0x60), in one colour.
std::array<uint8_t, 44> Style(uint8_t group, float threshold, uint8_t r, uint8_t g, uint8_t b);

// Two area objects, a layer of six road elements (a 2 x 2 grid, one of them
// one-way), named, with a dictionary, symbols, styles, a transform and text.
mapwriter::MapDescription SmallMap();
// `objects` point objects spread over the map in a layer of their own, plus
// the road layer of SmallMap.
mapwriter::MapDescription LargeMap(int objects);
// The key the enciphered fixtures use.
std::vector<uint8_t> FixtureKey();

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace testing_support
