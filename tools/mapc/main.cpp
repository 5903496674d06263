// Compiles OpenStreetMap data into the map files the program reads: the map
// (".tzx"), its road graph (".zxg") and its points of interest (".zxp").
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/mapc/map_compiler.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
        "usage: travenor_mapc [--key HEX | --key-file FILE] [--codepage 0|1|2] [--map-id N] [--title TEXT]\n"
        "                     INPUT.osm|.osm.gz|.osm.bz2|.osm.pbf OUTPUT.tzx\n"
        "Writes OUTPUT.tzx with OUTPUT.zxg and OUTPUT.zxp beside it.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    mapc::CompileOptions options;
    std::vector<uint8_t> key;
    std::string input, output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((arg == "--key" || arg == "--key-file") && hasValue) {
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
            if (key.empty()) {
                std::fprintf(stderr, "travenor_mapc: a key is 32, 48 or 64 hexadecimal digits\n");
                return 2;
            }
        } else if (arg == "--codepage" && hasValue) {
            options.codePage = std::atoi(argv[++i]);
            if (options.codePage < 0 || options.codePage > 2)
                return Usage();
        } else if (arg == "--map-id" && hasValue) {
            options.mapId = static_cast<uint16_t>(std::strtoul(argv[++i], nullptr, 0));
        } else if (arg == "--title" && hasValue) {
            options.title = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (input.empty()) {
            input = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (input.empty() || output.empty())
        return Usage();
    try {
        const mapc::OsmData data = mapc::ReadOsm(input); // its messages name the input
        const mapc::CompiledMap map = [&] {
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
