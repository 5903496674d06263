// tzxdump: prints every header field and section of a map file, then what the
// kernel's loader makes of it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "kernel/api/result_codes.h"
#include "kernel/doc/code_page.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/map_cipher.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/doc/tzx_header.h"
#include "tools/common/tool_args.h"
#include "tools/mapwriter/map_writer.h"

namespace {

using H = CZXS_TzxHeader;

const char kUsage[] = "usage: tzxdump [--key HEX | --key-file FILE] [--objects] MAP.tzx\n"
                      "Prints the header fields and the sections of a map file, then loads it\n"
                      "as the program does (with the road graph MAP.zxg beside it). Offsets and\n"
                      "sizes are in bytes, extents in map units, names in UTF-8.\n"
                      "An enciphered map is read with --key, --key-file, or the key file MAP.key\n"
                      "beside the map (the key as 32 hexadecimal digits).\n"
                      "  --objects  also print every object record\n"
                      "  --help     print this and exit\n";

// The whole file; false with the reason in `error` for a missing file, a
// folder or one that cannot be read.
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (status.type() == std::filesystem::file_type::not_found) {
        error = "no such file";
        return false;
    }
    if (code) {
        error = code.message();
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        error = "a folder, not a file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot be read";
        return false;
    }
    return true;
}

// A file beside the map: the map's name with another extension.
std::string Beside(const std::string& map, const char* extension)
{
    return std::filesystem::path(map).replace_extension(extension).string();
}

void Field(const char* name, uint32_t offset, long long value)
{
    std::printf("  %-28s @%-3u %lld\n", name, offset, value);
}

void PrintHeader(const H& h)
{
    std::printf("header (%u bytes)\n", H::kSize);
    std::printf("  %-28s @0   %s\n", "magic", h.HasMagic() ? "present" : "ABSENT");
    Field("road-graph level", H::kRoadGraphLevel, h.U32(H::kRoadGraphLevel));
    Field("text block size", H::kTextSize, h.U32(H::kTextSize));
    std::printf("  %-28s @%-3u 0x%04X\n", "map identifier", H::kMapId, h.U16(H::kMapId));
    Field("resolution", H::kResolution, h.I32(H::kResolution));
    Field("code page", H::kCodePage, h.U8(H::kCodePage));
    std::printf("  %-28s @%-3u 0x%02X\n", "flags", H::kFlags, h.U8(H::kFlags));
    Field("point coding", H::kCoding, h.U8(H::kCoding));
    Field("version", H::kVersion, h.U16(H::kVersion));
    Field("created", H::kCreated, h.U32(H::kCreated));
    Field("extent left", H::kLeft, h.I32(H::kLeft));
    Field("extent right", H::kRight, h.I32(H::kRight));
    Field("extent top", H::kTop, h.I32(H::kTop));
    Field("extent bottom", H::kBottom, h.I32(H::kBottom));
    Field("resolution / 100", H::kResolution100, h.U16(H::kResolution100));
    Field("object count", H::kObjectCount, h.I32(H::kObjectCount));
    Field("point data (units)", H::kPointSize, h.I32(H::kPointSize));
    Field("style count", H::kStyleCount, h.I16(H::kStyleCount));
    Field("layer count", H::kLayerCount, h.I16(H::kLayerCount));
    Field("names size", H::kNamesSize, h.I32(H::kNamesSize));
    Field("symbol table size", H::kSymbolSize, h.I32(H::kSymbolSize));
    Field("dictionary size", H::kDictionarySize, h.I32(H::kDictionarySize));
    Field("byte 150", H::kGrey, h.U8(H::kGrey));
    std::printf("  %-28s @%-3u %u %u %u\n", "background r g b", H::kBackground, h.U8(H::kBackground),
        h.U8(H::kBackground + 1), h.U8(H::kBackground + 2));
    Field("reserved (must be 0)", H::kReserved, h.U16(H::kReserved));
    Field("transform size", H::kTransformSize, h.U16(H::kTransformSize));
    Field("first road layer", H::kFirstRoadLayer, h.I16(H::kFirstRoadLayer));
    Field("road layer count", H::kRoadLayerCount, h.I16(H::kRoadLayerCount));
    Field("embedded graph size", H::kEmbeddedGraphSize, h.U32(H::kEmbeddedGraphSize));
}

// Where each section lies by the header's counts (the layout as written).
void PrintSections(const H& h, const std::vector<uint8_t>& file)
{
    const bool old = h.IsOldLayout();
    const CZXS_PointCoding* coding = CZXS_PointCoding::ForScheme(h.U8(H::kCoding));
    if (coding == nullptr)
        coding = CZXS_PointCoding::ForScheme(0);
    uint64_t at = H::kSize;
    uint64_t metrics = H::kMetricsSize;
    const uint64_t transform = h.U16(H::kTransformSize);
    if (at + transform + 4 <= file.size())
        metrics += ZXS_Le32(file.data() + at + transform);
    const uint64_t objects = static_cast<uint32_t>(h.I32(H::kObjectCount));
    struct Section {
        const char* name;
        uint64_t size;
        bool enciphered;
    };
    const Section sections[] = {
        { "1 coordinate transform", transform, true },
        { "2 metrics block and blob", metrics, false },
        { "3 symbol table", static_cast<uint32_t>(h.I32(H::kSymbolSize)), true },
        { "4 dictionary", static_cast<uint32_t>(h.I32(H::kDictionarySize)), true },
        { "5 layer descriptors", uint64_t { static_cast<uint16_t>(h.I16(H::kLayerCount)) } * H::kLayerSize,
            true },
        { "6 names", static_cast<uint32_t>(h.I32(H::kNamesSize)), true },
        { "7 object records", objects * (old ? 11 : 12), false },
        { "8 index blocks", old ? 0 : (objects / 64 + 1) * H::kIndexBlockSize, false },
        { "9 point data",
            static_cast<uint64_t>(coding->UnitsToBytes(static_cast<uint32_t>(h.I32(H::kPointSize)))), false },
        { "10 embedded graph bytes", h.U32(H::kEmbeddedGraphSize), false },
        { "11 style records", uint64_t { static_cast<uint16_t>(h.I16(H::kStyleCount)) } * H::kStyleSize,
            true },
        { "12 text block", h.U32(H::kTextSize), false },
    };
    std::printf("sections (file of %zu bytes)\n", file.size());
    for (const Section& s : sections) {
        std::printf("  %-26s at %10llu  %10llu bytes%s%s\n", s.name, static_cast<unsigned long long>(at),
            static_cast<unsigned long long>(s.size), s.enciphered ? "  (enciphered in enciphered maps)" : "",
            at + s.size > file.size() ? "  PAST THE END" : "");
        at += s.size;
    }
    if (at < file.size())
        std::printf(
            "  %llu bytes after the last section\n", static_cast<unsigned long long>(file.size() - at));
}

void PrintDocument(const CZXS_TzxDoc& doc, int codePage, bool objects)
{
    std::printf(
        "document\n  objects %u, index blocks %u, point data %u bytes, names %u bytes, symbols %u bytes, "
        "dictionary %u bytes, styles %u, text %u bytes, metrics blob %u bytes\n",
        doc.Objects().Count(), doc.IndexBlocks().Count(), doc.Points().Size(), doc.Names().Size(),
        doc.Symbols().Size(), doc.Dictionary().Size(), doc.Styles().Count(),
        doc.TextBlock().Size() > 2 ? doc.TextBlock().Size() - 2 : 0, doc.Metrics().Blob().Size());
    if (const CZXS_Transform* t = doc.Transform()) {
        std::printf("  transform:");
        for (int i = 0; i < t->CoefficientCount(); ++i)
            std::printf(" %.9g", t->Coefficients()[i]);
        std::printf("\n");
    }
    std::printf("  road graph: %u edges, %u nodes; road objects from %d, %d of them\n",
        doc.RoadGraph().EdgeCount(), doc.RoadGraph().NodeCount(), doc.FirstRoadObject(),
        doc.RoadObjectCount());
    for (int32_t i = 0; i < doc.LayerCount(); ++i) {
        const CZXS_LayerDesc d = doc.GetLayerDesc(i);
        std::string name;
        doc.GetLayerName(i, name, 0);
        std::printf(
            "  layer %2d \"%s\": objects %d..%d, point offset %u, flags 0x%02X, style group %u, symbol %u\n",
            i, CZXS_CodePage::ToUtf8(codePage, name).c_str(), d.FirstObject(), doc.LayerEnd(i) - 1,
            d.PointOffset(), d.Flags(), d.StyleGroup(), d.SymbolNumber());
    }
    if (!objects)
        return;
    for (uint32_t i = 0; i < doc.Objects().Count(); ++i) {
        const CZXS_ObjectRecord r = doc.Object(i);
        std::printf("  object %u: link %d name %d \"%s\" run %u coding %d box %u,%u-%u,%u%s%s%s%s\n", i,
            r.LinkId(), r.NameId(),
            CZXS_CodePage::ToUtf8(codePage, doc.Names().GetName(r.NameId(), 0)).c_str(), r.RunLength(),
            r.Coding(), r.BoxByte(0), r.BoxByte(1), r.BoxByte(2), r.BoxByte(3), r.IsClosed() ? " closed" : "",
            r.IsEndOfObject() ? " end" : "", r.IsForward() ? " forward" : "",
            r.IsBackward() ? " backward" : "");
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string path;
    std::string keyText;
    std::string keyFile;
    bool objects = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if ((arg == "--key" || arg == "--key-file") && i + 1 >= argc)
            return toolargs::Refuse(
                "tzxdump", arg == "--key" ? "--key needs 32 hexadecimal digits" : "--key-file needs a file");
        if (arg == "--key")
            keyText = argv[++i];
        else if (arg == "--key-file")
            keyFile = argv[++i];
        else if (arg == "--objects")
            objects = true;
        else if (!arg.empty() && arg[0] == '-')
            return toolargs::Refuse("tzxdump", "unknown option", arg.c_str());
        else if (path.empty())
            path = arg;
        else
            return toolargs::Refuse("tzxdump", "one map only", arg.c_str());
    }
    if (path.empty())
        return toolargs::Refuse("tzxdump", "a map file is needed");
    std::vector<uint8_t> file;
    std::string error;
    if (!ReadFile(path, file, error)) {
        std::fprintf(stderr, "tzxdump: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    if (file.size() < H::kSize) {
        std::fprintf(stderr, "tzxdump: %s: not a map file (%zu bytes; a map's header alone has %u)\n",
            path.c_str(), file.size(), H::kSize);
        return 1;
    }
    if (!keyText.empty()) {
        if (mapwriter::ParseKeyText(keyText).empty())
            return toolargs::Refuse(
                "tzxdump", "--key takes 32, 48 or 64 hexadecimal digits", keyText.c_str());
    } else if (!keyFile.empty()) {
        std::vector<uint8_t> text;
        if (!ReadFile(keyFile, text, error)) {
            std::fprintf(stderr, "tzxdump: the key file %s: %s\n", keyFile.c_str(), error.c_str());
            return 1;
        }
        keyText.assign(text.begin(), text.end());
    } else {
        // A map without a key file beside it is read without a key.
        std::vector<uint8_t> text;
        if (ReadFile(Beside(path, ".key"), text, error))
            keyText.assign(text.begin(), text.end());
    }
    const std::vector<uint8_t> key = mapwriter::ParseKeyText(keyText);

    H header;
    std::memcpy(header.Bytes(), file.data(), H::kSize);
    if (!header.HasMagic()) {
        CZXS_MapCipher cipher;
        if (!key.empty() && cipher.Prepare(key.data(), static_cast<uint32_t>(key.size()))) {
            cipher.Decipher(header.Bytes() + H::kCipherStart, H::kSize - H::kCipherStart);
            std::puts("enciphered map");
        }
    }
    PrintHeader(header);
    PrintSections(header, file);

    const std::string graphPath = Beside(path, ".zxg");
    std::vector<uint8_t> graph;
    if (!ReadFile(graphPath, graph, error))
        graph.clear();
    CZXS_TzxDoc doc;
    ZXS_MapSource source;
    source.mapBlock = file.data();
    source.mapSize = static_cast<uint32_t>(file.size());
    source.graphBlock = graph.empty() ? nullptr : graph.data();
    source.graphSize = static_cast<uint32_t>(graph.size());
    const int loaded = doc.Open(&source, key.empty() ? nullptr : key.data(), static_cast<int16_t>(key.size()),
        CZXS_DiskStream::kMemory);
    const int32_t result = ZXS_TranslateOpenError(doc.GetError());
    if (!loaded) {
        std::printf("load: FAILED, %s (kernel code %d)\n", ZXS_DescribeResult(result), result);
        toolargs::ReportMapOpenFailure("tzxdump", path.c_str(), result);
        return 1;
    }
    if (doc.GetError() != 0)
        std::printf("load: opened, with %s (kernel code %d)\n", ZXS_DescribeResult(result), result);
    else
        std::printf("load: opened\n");
    PrintDocument(doc, header.U8(H::kCodePage), objects);
    // A road graph that is there but does not load leaves the map without
    // routes; the map itself opens, so it is only a warning.
    if (!graph.empty() && !doc.RoadGraph().IsLoaded())
        std::fprintf(stderr, "tzxdump: warning: the road graph %s is damaged or not this map's: no routes\n",
            graphPath.c_str());
    return 0;
}
