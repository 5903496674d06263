// The kernel renderer's hot paths on the largest screen: thick lines (plain,
// antialiased, with a dashed centre band, and long ones clipped from far
// off-screen), area fills, label glyphs, and the map-to-screen projection.
#include "kernel/render/app_ft_manager.h"
#include "kernel/render/clipped_image.h"
#include "kernel/render/coords.h"
#include "kernel/render/font.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr int32_t kWidth = 480, kHeight = 640;

CZXS_ClippedImage& Screen()
{
    static CZXS_ClippedImage image;
    if (image.Surface() == nullptr)
        image.Create(kWidth, kHeight, 0x00e0f0f0);
    return image;
}

std::vector<ZXS_Segment> Segments(int32_t reach, size_t count)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(-reach, reach);
    std::vector<ZXS_Segment> out;
    for (size_t i = 0; i < count; ++i) {
        const int32_t x = kWidth / 2 + any(random) / 8, y = kHeight / 2 + any(random) / 8;
        out.push_back({ x, y, x + any(random), y + any(random) });
    }
    return out;
}

// range(0): outer width; range(1): centre width; range(2): antialiased; range(3): far off-screen ends.
void BM_DrawLine(benchmark::State& state)
{
    CZXS_ClippedImage& image = Screen();
    image.SetAntialiased(state.range(2) != 0);
    CZX_Image::Pen pen;
    pen.outerColour = 0x8410;
    pen.centreColour = 0xffe0;
    pen.outerWidth = static_cast<uint16_t>(state.range(0));
    pen.centreWidth = static_cast<uint16_t>(state.range(1));
    pen.centreDash = state.range(1) != 0 ? 0xff00ff00 : 0xffffffff;
    image.SetPen(pen);
    const std::vector<ZXS_Segment> segments = Segments(state.range(3) != 0 ? 1 << 28 : 60, 4096);
    size_t i = 0;
    for (auto _ : state) {
        image.DrawLine(segments[i++ & 4095]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_DrawLine)
    ->ArgNames({ "width", "centre", "aa", "far" })
    ->Args({ 1, 0, 0, 0 })
    ->Args({ 5, 0, 0, 0 })
    ->Args({ 1, 0, 1, 0 })
    ->Args({ 5, 1, 1, 0 })
    ->Args({ 11, 5, 1, 0 })
    ->Args({ 5, 1, 1, 1 });

// A lake of range(0) points with a wavy shore around the screen's centre,
// range(1) times larger than the screen, filled solid with the label accumulator.
void BM_FillPolygon(benchmark::State& state)
{
    CZXS_ClippedImage& image = Screen();
    const int32_t points = static_cast<int32_t>(state.range(0));
    const double radius = 200.0 * static_cast<double>(state.range(1));
    std::vector<ZXS_ScreenPoint> ring;
    for (int32_t k = 0; k < points; ++k) {
        const double a = 2 * M_PI * k / points, r = radius * (0.85 + 0.15 * std::sin(7 * a));
        ring.push_back({ static_cast<int32_t>(kWidth / 2 + r * std::cos(a)),
            static_cast<int32_t>(kHeight / 2 + r * std::sin(a)) });
    }
    const int16_t length = static_cast<int16_t>(points);
    const ZXS_PointParts parts = { ring.data(), &length, 1 };
    for (auto _ : state) {
        CZXS_LabelAccumulator accumulator;
        accumulator.bandRight = kWidth - 1;
        accumulator.bandBottom = kHeight - 1;
        image.FillPolygon(
            { 0, 0, kWidth - 1, kHeight - 1 }, parts, 0x07e0, CZX_Image::kStippleSolid, 4, &accumulator);
        benchmark::DoNotOptimize(accumulator);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_FillPolygon)
    ->ArgNames({ "points", "size" })
    ->Args({ 16, 1 })
    ->Args({ 500, 1 })
    ->Args({ 500, 20 })
    ->Args({ 5000, 1 });

const CAppFT_Manager& Fonts()
{
    static CAppFT_Manager manager;
    static const bool loaded = [] {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "travenor_bench_fonts";
        std::filesystem::create_directories(folder);
        std::error_code ignored;
        std::filesystem::create_symlink(
            "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", folder / "arial.ttf", ignored);
        return manager.FindFonts((folder.string() + "/").c_str()) && manager.LoadFont();
    }();
    (void)loaded;
    return manager;
}

// A street label of 20 characters; range(0): angle in degrees; range(1): 1 to
// render its glyphs afresh each time, 0 to draw them again from the font's store.
void BM_DrawText(benchmark::State& state)
{
    CZXS_ClippedImage& image = Screen();
    CZX_Font font;
    font.AttachFace(&Fonts());
    font.SetSize(13, 13);
    const char* label
        = "\xd3\xeb\xe8\xf6\xe0 \xcb\xe5\xed\xe8\xed\xe0 Street"; // "Улица Ленина Street" in 1251
    const double r = static_cast<double>(state.range(0)) * M_PI / 180;
    const int32_t c = static_cast<int32_t>(std::lround(std::cos(r) * 65536));
    const int32_t s = static_cast<int32_t>(std::lround(std::sin(r) * 65536));
    const bool fresh = state.range(1) != 0;
    for (auto _ : state) {
        if (fresh)
            font.Flush();
        CZX_Font::Pen pen = { 100 * 64, -300 * 64 };
        benchmark::DoNotOptimize(font.DrawText(image, label, 0, pen, c, s, 0));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 20);
}
BENCHMARK(BM_DrawText)->ArgNames({ "degrees", "fresh" })->ArgsProduct({ { 0, 30 }, { 1, 0 } });

// Measuring from the cache, as label placement does for every candidate.
void BM_TextWidth(benchmark::State& state)
{
    CZX_Font font;
    font.AttachFace(&Fonts());
    font.SetSize(13, 13);
    const char* label = "\xd3\xeb\xe8\xf6\xe0 \xcb\xe5\xed\xe8\xed\xe0 Street";
    for (auto _ : state)
        benchmark::DoNotOptimize(font.TextWidth(label, 0));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 20);
}
BENCHMARK(BM_TextWidth);

void BM_MapToScreen(benchmark::State& state)
{
    CZXS_Coords view;
    const ZXS_ScreenRect rect = { 0, 0, kWidth - 1, kHeight - 1 };
    view.SetScreenRect(&rect);
    view.SetRotation(0.5);
    view.SetPosition(0x800000, 0x800000, 2000);
    std::mt19937 random(5);
    std::uniform_int_distribution<int32_t> any(0, 0xffffff);
    std::vector<int32_t> values(4096);
    for (int32_t& v : values)
        v = any(random);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(view.MapToScreen(values[i & 4095], values[(i + 1) & 4095]));
        ++i;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_MapToScreen);

} // namespace

BENCHMARK_MAIN();
