// Damaged input stops the compiler with a message and a failing exit status,
// and whatever map stood at the output path stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/map_fixture.h"
#include "tests/support/run_command.h"

namespace {

namespace fs = std::filesystem;

testing_support::CommandResult Compile(const std::string& input, const std::string& output)
{
    return testing_support::RunCommand(std::string(TRAVENOR_MAPC) + " '" + input + "' '" + output + "'");
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

const char* const kGoodXml = R"(<?xml version='1.0' encoding='UTF-8'?>
<osm version='0.6'>
 <node id='1' lat='55.80' lon='37.60'/>
 <node id='2' lat='55.80' lon='37.61'/>
 <node id='3' lat='55.81' lon='37.61'/>
 <way id='10'><nd ref='1'/><nd ref='2'/><nd ref='3'/><tag k='highway' v='residential'/><tag k='name' v='улица Тестовая'/></way>
</osm>
)";

struct BadCase {
    const char* label;
    const char* file;
    std::string (*bytes)();
    const char* message;
};

const BadCase kBadCases[] = {
    { "TruncatedPbf", "cut.osm.pbf",
        [] {
            return ReadAll(std::string(TRAVENOR_SHARED_DATA_DIR) + "/osm/monaco.osm.pbf").substr(0, 300000);
        },
        "" },
    { "XmlError", "broken.osm",
        [] { return std::string(kGoodXml).replace(std::string(kGoodXml).find("</way>"), 6, "</wy>"); },
        "broken.osm" },
    { "WayWithMissingNode", "hole.osm",
        [] {
            return std::string(kGoodXml).replace(
                std::string(kGoodXml).find("<nd ref='3'/>"), 13, "<nd ref='4'/>");
        },
        "way 10 refers to node 4" },
    { "NothingToMap", "empty.osm", [] { return std::string("<osm version='0.6'>\n</osm>\n"); },
        "empty.osm: the input holds no tagged node or way" },
};

class BadInput : public ::testing::TestWithParam<BadCase> { };

TEST_P(BadInput, StopsWithAMessageAndLeavesTheOldMap)
{
    testing_support::TempFolder folder;
    const BadCase& c = GetParam();
    Write(folder.File(c.file), c.bytes());
    Write(folder.File("city.tzx"), "the map that was there");

    const testing_support::CommandResult run = Compile(folder.File(c.file), folder.File("city.tzx"));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("travenor_mapc: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    EXPECT_EQ(ReadAll(folder.File("city.tzx")), "the map that was there");
    // Nothing else was written: no companion, no partial file.
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 2u);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInput, ::testing::ValuesIn(kBadCases),
    [](const auto& info) { return std::string(info.param.label); });

TEST(GoodInput, ReplacesTheMapAndWritesItsCompanions)
{
    testing_support::TempFolder folder;
    Write(folder.File("small.osm"), kGoodXml);
    Write(folder.File("city.tzx"), "the map that was there");
    const testing_support::CommandResult run = Compile(folder.File("small.osm"), folder.File("city.tzx"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(ReadAll(folder.File("city.tzx")).substr(0, 25), "Quelvane data file v.3.5.");
    EXPECT_TRUE(fs::exists(folder.File("city.zxg")));
    EXPECT_TRUE(fs::exists(folder.File("city.zxp")));
    EXPECT_FALSE(fs::exists(folder.File("city.tzx.part")));
}

} // namespace
