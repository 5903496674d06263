// Compiles OpenStreetMap data into the map files the program reads: the map
// (".tzx"), its road graph (".zxg") and its points of interest (".zxp").
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/common/tool_args.h"
#include "tools/mapc/map_compiler.h"

namespace {

const char kUsage[]
    = "usage: travenor_mapc [--key HEX | --key-file FILE] [--codepage 0|1|2] [--map-id N] [--title TEXT]\n"
      "                     INPUT.osm|.osm.gz|.osm.bz2|.osm.pbf OUTPUT.tzx\n"
      "Compiles OpenStreetMap data into OUTPUT.tzx with its road graph OUTPUT.zxg and its\n"
      "points of interest OUTPUT.zxp beside it; the files are replaced only once all three\n"
      "are written.\n"
      "  --key HEX        encipher the map with this key: 32, 48 or 64 hexadecimal digits\n"
      "  --key-file FILE  the same, with the key read from FILE\n"
      "  --codepage N     the code page of the names: 0 Windows-1251 (default), 1 Windows-1252,\n"
      "                   2 Windows-1250\n"
      "  --map-id N       the map identifier, 0 to 65535 (decimal, or hexadecimal with 0x)\n"
      "  --title TEXT     the map's title\n"
      "  --help           print this and exit\n";

} // namespace

int main(int argc, char** argv)
{
    mapc::CompileOptions options;
    std::vector<uint8_t> key;
    std::string input, output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool takesValue = arg == "--key" || arg == "--key-file" || arg == "--codepage"
            || arg == "--map-id" || arg == "--title";
        if (takesValue && i + 1 >= argc)
            return toolargs::Refuse("travenor_mapc", arg + " needs a value");
        if (arg == "--key" || arg == "--key-file") {
            std::string text = argv[++i];
            if (arg == "--key-file") {
                std::ifstream file(text);
                std::stringstream all;
                all << file.rdbuf();
                if (!file) {
                    std::fprintf(stderr, "travenor_mapc: cannot read the key file %s\n", text.c_str());
                    return 1;
                }
                text = all.str();
            }
            key = mapwriter::ParseKeyText(text);
            if (key.empty())
                return toolargs::Refuse("travenor_mapc", arg + ": a key is 32, 48 or 64 hexadecimal digits",
                    arg == "--key" ? argv[i] : nullptr);
        } else if (arg == "--codepage") {
            long long codePage = 0;
            if (!toolargs::ParseInt(argv[++i], 0, 2, codePage))
                return toolargs::Refuse("travenor_mapc", "--codepage takes 0, 1 or 2", argv[i]);
            options.codePage = static_cast<int>(codePage);
        } else if (arg == "--map-id") {
            const char* text = argv[++i];
            char* end = nullptr;
            errno = 0;
            const unsigned long id = std::strtoul(text, &end, 0);
            if (*text == '\0' || *text == '-' || *end != '\0' || errno == ERANGE || id > 0xFFFF)
                return toolargs::Refuse("travenor_mapc", "--map-id takes a number from 0 to 65535", text);
            options.mapId = static_cast<uint16_t>(id);
        } else if (arg == "--title") {
            options.title = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return toolargs::Refuse("travenor_mapc", "unknown option", arg.c_str());
        } else if (input.empty()) {
            input = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return toolargs::Refuse("travenor_mapc", "one input and one output only", arg.c_str());
        }
    }
    if (input.empty() || output.empty())
        return toolargs::Refuse("travenor_mapc", "an input and an output file are needed");
    try {
        options.sources = false;
        // The OpenStreetMap data is let go before the files are written.
        const mapc::CompiledMap map = [&] {
            const mapc::OsmData data = mapc::ReadOsm(input); // its messages name the input
            try {
                return mapc::Compile(data, options);
            } catch (const mapc::CompileError& e) {
                throw mapc::CompileError(input + ": " + e.what());
            }
        }();
        mapc::WriteMapFiles(map, output, key);
        size_t records = 0;
        for (const auto& layer : map.map.layers)
            records += layer.records.size();
        std::printf("%s: %zu records in %zu layers, %zu names, %u road nodes, %zu road edges, %zu POIs\n",
            output.c_str(), records, map.map.layers.size(), map.map.names.size(), map.graph.nodeCount,
            map.graph.edges.size(), map.pois.pois.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "travenor_mapc: %s\n", e.what());
        return 1;
    }
    return 0;
}
