// krender: renders one frame of the map through the kernel's view interface.

#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/api/app_interface.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "tools/common/tool_args.h"

namespace {

// What the view accepts: the scale's bounds and the longest side of a frame.
constexpr long long kMinScale = 8;
constexpr long long kMaxScale = 10000000;
constexpr long long kMaxSide = 16000;

const char kUsage[]
    = "usage: krender MAP [--center X,Y] [--scale S] [--rotation R] [--size WxH] [--quick] [--plain]\n"
      "               [--fonts DIR] [--repeat N] -o OUT.png\n"
      "Renders one frame of the map through the kernel's view interface into a PNG.\n"
      "  --center X,Y  the frame's centre in map units (default: the map's centre)\n"
      "  --scale S     map units per 128 pixels, 8 to 10000000 (default 2000)\n"
      "  --rotation R  the map's turn in tenths of a degree, any whole number (default 0)\n"
      "  --size WxH    the frame in pixels, 1 to 16000 each way (default 240x320)\n"
      "  --quick       the quick frame: plain lines, no fills, labels or arrows\n"
      "  --plain       without antialiasing\n"
      "  --fonts DIR   the folder with the map fonts (default: the build's data folder)\n"
      "  --repeat N    render the frame N times (1 to 100000) and print the median milliseconds\n"
      "  -o OUT.png    the picture to write\n"
      "  --help        print this and exit\n";

// Clears and renders the frame; `repeat` times when asked, printing the median
// milliseconds of the renders.
int32_t Render(CZXS_ViewHandle& view, bool quick, long long repeat)
{
    std::vector<double> times;
    for (long long i = 0; i < std::max(repeat, 1LL); ++i) {
        const auto begin = std::chrono::steady_clock::now();
        int32_t code = ZXS_ViewClear(&view);
        if (code == 0)
            code = ZXS_ViewRender(&view, quick ? 1 : 0, nullptr);
        if (code != 0)
            return code;
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    }
    if (repeat > 0) {
        std::sort(times.begin(), times.end());
        const size_t n = times.size();
        const double median = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
        std::printf("median: %.3f ms over %zu frames\n", median, n);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mapPath;
    std::string outPath;
    std::string fonts = std::string(TRAVENOR_BUILD_DATA_DIR) + "/";
    long long cx = 0x7fffffff, cy = 0x7fffffff, scale = 2000, rotation = 0, width = 240, height = 320;
    long long repeat = 0;
    bool centred = false;
    bool quick = false;
    bool plain = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool takesValue = arg == "--center" || arg == "--scale" || arg == "--rotation"
            || arg == "--size" || arg == "--fonts" || arg == "--repeat" || arg == "-o";
        if (takesValue && i + 1 >= argc)
            return toolargs::Refuse("krender", arg + " needs a value");
        const char* value = takesValue ? argv[++i] : nullptr;
        if (arg == "--center") {
            if (!toolargs::ParsePair(value, ',', INT32_MIN, INT32_MAX, cx, cy))
                return toolargs::Refuse("krender", "--center takes X,Y in map units (whole numbers)", value);
            centred = true;
        } else if (arg == "--scale") {
            if (!toolargs::ParseInt(value, kMinScale, kMaxScale, scale))
                return toolargs::Refuse(
                    "krender", "--scale takes map units per 128 pixels, 8 to 10000000", value);
        } else if (arg == "--rotation") {
            if (!toolargs::ParseInt(value, INT32_MIN, INT32_MAX, rotation))
                return toolargs::Refuse(
                    "krender", "--rotation takes tenths of a degree (a whole number)", value);
        } else if (arg == "--size") {
            if (!toolargs::ParsePair(value, 'x', 1, kMaxSide, width, height))
                return toolargs::Refuse("krender", "--size takes WxH in pixels, 1 to 16000 each", value);
        } else if (arg == "--repeat") {
            if (!toolargs::ParseInt(value, 1, 100000, repeat))
                return toolargs::Refuse("krender", "--repeat takes a number of frames, 1 to 100000", value);
        } else if (arg == "--fonts") {
            fonts = std::string(value) + "/";
        } else if (arg == "-o") {
            outPath = value;
        } else if (arg == "--quick") {
            quick = true;
        } else if (arg == "--plain") {
            plain = true;
        } else if (!arg.empty() && arg[0] != '-' && mapPath.empty()) {
            mapPath = arg;
        } else {
            return toolargs::Refuse(
                "krender", arg.empty() || arg[0] != '-' ? "one map only" : "unknown option", arg.c_str());
        }
    }
    if (mapPath.empty() || outPath.empty())
        return toolargs::Refuse("krender", "a map and -o OUT.png are needed");
    // The view takes a turn from 0 to 359.9 degrees; any other turns the same way.
    rotation %= 3600;
    if (rotation < 0)
        rotation += 3600;

    CZXS_AppHandle app;
    int32_t code = ZXS_AppCreate(&app, nullptr, 0, fonts.c_str(), 0);
    if (code != 0) {
        std::fprintf(stderr,
            "krender: the kernel does not start: %s (kernel code %d); fonts looked for in %s\n",
            ZXS_DescribeResult(code), code, fonts.c_str());
        return 1;
    }
    static const char owner = 0;
    CZXS_MapHandle map;
    code = ZXS_MapOpenA(&map, &owner, mapPath.c_str(), nullptr, 0, 1);
    if (code != 0) {
        toolargs::ReportMapOpenFailure("krender", mapPath.c_str(), code);
        ZXS_AppExit(&app);
        return 1;
    }
    if (!centred) {
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
        || (code = Render(view, quick, repeat)) != 0) {
        std::fprintf(stderr, "krender: the frame cannot be drawn: %s (kernel code %d)\n",
            ZXS_DescribeResult(code), code);
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
