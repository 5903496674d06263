// krender MAP [--center X,Y] [--scale S] [--rotation R] [--size WxH] [--quick]
//         [--plain] [--fonts DIR] -o OUT.png
// Renders one frame of the map through the kernel's view interface.

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernel/api/app_interface.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"

namespace {

int Usage(const char* message)
{
    std::fprintf(stderr, "krender: %s\n", message);
    std::fprintf(stderr,
        "usage: krender MAP [--center X,Y] [--scale S] [--rotation R] [--size WxH] [--quick] [--plain]\n"
        "               [--fonts DIR] -o OUT.png\n");
    return 2;
}

bool Pair(const char* text, char separator, long& a, long& b)
{
    char* end = nullptr;
    a = std::strtol(text, &end, 10);
    if (end == text || *end != separator)
        return false;
    const char* second = end + 1;
    b = std::strtol(second, &end, 10);
    return end != second && *end == 0;
}

bool Number(const char* text, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mapPath;
    std::string outPath;
    std::string fonts = std::string(TRAVENOR_BUILD_DATA_DIR) + "/";
    long cx = 0x7fffffff, cy = 0x7fffffff, scale = 2000, rotation = 0, width = 240, height = 320;
    bool quick = false;
    bool plain = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--center" && hasValue) {
            if (!Pair(argv[++i], ',', cx, cy))
                return Usage("--center takes X,Y in map units");
        } else if (arg == "--scale" && hasValue) {
            if (!Number(argv[++i], scale))
                return Usage("--scale takes map units per 128 pixels");
        } else if (arg == "--rotation" && hasValue) {
            if (!Number(argv[++i], rotation))
                return Usage("--rotation takes tenths of a degree");
        } else if (arg == "--size" && hasValue) {
            if (!Pair(argv[++i], 'x', width, height))
                return Usage("--size takes WxH");
        } else if (arg == "--fonts" && hasValue) {
            fonts = std::string(argv[++i]) + "/";
        } else if (arg == "-o" && hasValue) {
            outPath = argv[++i];
        } else if (arg == "--quick") {
            quick = true;
        } else if (arg == "--plain") {
            plain = true;
        } else if (!arg.empty() && arg[0] != '-' && mapPath.empty()) {
            mapPath = arg;
        } else {
            return Usage(("unknown argument " + arg).c_str());
        }
    }
    if (mapPath.empty() || outPath.empty())
        return Usage("a map and -o OUT.png are needed");

    CZXS_AppHandle app;
    int32_t code = ZXS_AppCreate(&app, nullptr, 0, fonts.c_str(), 0);
    if (code != 0) {
        std::fprintf(
            stderr, "krender: the kernel does not start (%d); fonts looked for in %s\n", code, fonts.c_str());
        return 1;
    }
    static const char owner = 0;
    CZXS_MapHandle map;
    code = ZXS_MapOpenA(&map, &owner, mapPath.c_str(), nullptr, 0, 0);
    if (code != 0) {
        std::fprintf(stderr, "krender: %s does not open (%d)\n", mapPath.c_str(), code);
        ZXS_AppExit(&app);
        return 1;
    }
    if (cx == 0x7fffffff || cy == 0x7fffffff) {
        ZXS_Point centre;
        if (ZXS_MapGetCenter(&map, &centre) == 0) {
            cx = centre.x;
            cy = centre.y;
        }
    }
    CZXS_ViewHandle view;
    int result = 1;
    if ((code = ZXS_ViewCreate(&view, &map)) != 0
        || (code = ZXS_ViewResize(
                &view, nullptr, static_cast<int32_t>(width), static_cast<int32_t>(height), plain ? 0 : 1))
            != 0
        || (code = ZXS_ViewSetRotation(&view, static_cast<int32_t>(rotation))) != 0
        || (code = ZXS_ViewSetPosition(
                &view, static_cast<int32_t>(cx), static_cast<int32_t>(cy), static_cast<int32_t>(scale)))
            != 0
        || (code = ZXS_ViewClear(&view)) != 0
        || (code = ZXS_ViewRender(&view, quick ? 1 : 0, nullptr)) != 0) {
        std::fprintf(stderr, "krender: the frame fails (%d)\n", code);
    } else {
        const ZXS_DeviceContext* dc = ZXS_ViewGetDC(&view);
        QImage image(dc->width, dc->height, QImage::Format_RGB16);
        for (int32_t y = 0; y < dc->height; ++y)
            std::memcpy(image.scanLine(y), dc->bits + static_cast<int64_t>(y) * dc->stride,
                static_cast<size_t>(dc->width) * 2);
        if (!image.save(QString::fromStdString(outPath), "PNG"))
            std::fprintf(stderr, "krender: %s cannot be written\n", outPath.c_str());
        else
            result = 0;
    }
    ZXS_ViewDestroy(&view);
    ZXS_MapClose(&map);
    ZXS_AppExit(&app);
    return result;
}
