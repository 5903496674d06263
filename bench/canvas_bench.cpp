// The canvas's hot paths at the smallest and largest screens, next to plain
// memset and memcpy of the same bytes as the yardstick.
#include "drawlib/canvas565.h"
#include "drawlib/rgb565.h"
#include "foundation/page_arena.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

struct Screen {
    Screen(int w, int h)
        : width(w)
        , height(h)
        , pixels(size_t(w) * h)
    {
        rows.Attach(reinterpret_cast<uint8_t*>(pixels.data()), w, h, w * 2);
    }
    size_t Bytes() const { return pixels.size() * 2; }
    int width, height;
    std::vector<uint16_t> pixels;
    CImageRows rows;
};

void ScreenArgs(benchmark::internal::Benchmark* b) { b->Args({ 240, 320 })->Args({ 640, 480 }); }

void BM_MemsetMemcpy(benchmark::State& state)
{
    Screen a(int(state.range(0)), int(state.range(1))), b(a.width, a.height);
    for (auto _ : state) {
        std::memset(a.pixels.data(), 0x5A, a.Bytes());
        benchmark::ClobberMemory();
        std::memcpy(b.pixels.data(), a.pixels.data(), a.Bytes());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(a.Bytes()) * 2);
}
BENCHMARK(BM_MemsetMemcpy)->Apply(ScreenArgs);

// A frame's fixed cost: clear the off-screen surface, copy it out whole.
void BM_ClearAndCopy(benchmark::State& state)
{
    Screen offscreen(int(state.range(0)), int(state.range(1))), display(offscreen.width, offscreen.height);
    CCanvas565 drawing(&offscreen.rows), copying(&display.rows);
    for (auto _ : state) {
        drawing.Clear(0xFF5A5A5Au);
        benchmark::ClobberMemory();
        copying.CopySurface(offscreen.rows);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(offscreen.Bytes()) * 2);
}
BENCHMARK(BM_ClearAndCopy)->Apply(ScreenArgs);

void BM_Clear(benchmark::State& state)
{
    Screen s(int(state.range(0)), int(state.range(1)));
    CCanvas565 canvas(&s.rows);
    for (auto _ : state) {
        canvas.Clear(0xFF336699u);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.Bytes()));
}
BENCHMARK(BM_Clear)->Apply(ScreenArgs);

void BM_FillRect(benchmark::State& state)
{
    Screen s(int(state.range(0)), int(state.range(1)));
    CCanvas565 canvas(&s.rows);
    const uint32_t colour = state.range(2) ? 0x80336699u : 0xFF336699u;
    for (auto _ : state) {
        canvas.FillRect(0, 0, s.width - 1, s.height - 1, colour);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.Bytes()));
    state.SetLabel(state.range(2) ? "blended" : "opaque");
}
BENCHMARK(BM_FillRect)
    ->Args({ 240, 320, 0 })
    ->Args({ 640, 480, 0 })
    ->Args({ 240, 320, 1 })
    ->Args({ 640, 480, 1 });

// A fan of lines from the centre to every 8th pixel of the border, plus the
// screen's straight grid lines: sloped, steep, horizontal and vertical.
void BM_DrawLines(benchmark::State& state)
{
    Screen s(int(state.range(0)), int(state.range(1)));
    CCanvas565 canvas(&s.rows);
    const int cx = s.width / 2, cy = s.height / 2;
    int64_t lines = 0;
    for (auto _ : state) {
        for (int x = 0; x < s.width; x += 8) {
            canvas.DrawLine(cx, cy, x, 0, 0xFF0000FFu);
            canvas.DrawLine(cx, cy, x, s.height - 1, 0xFF00FF00u);
            lines += 2;
        }
        for (int y = 0; y < s.height; y += 8) {
            canvas.DrawLine(cx, cy, 0, y, 0xFFFF0000u);
            canvas.DrawLine(cx, cy, s.width - 1, y, 0xFFFFFFFFu);
            canvas.DrawLine(0, y, s.width - 1, y, 0xFF808080u);
            lines += 3;
        }
        for (int x = 0; x < s.width; x += 8) {
            canvas.DrawLine(x, 0, x, s.height - 1, 0xFF808080u);
            ++lines;
        }
        benchmark::ClobberMemory();
    }
    state.counters["lines/s"] = benchmark::Counter(double(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawLines)->Apply(ScreenArgs);

// A full-screen stored image, half of it the magenta key, drawn with the key.
void BM_KeyedBlit(benchmark::State& state)
{
    Screen s(int(state.range(0)), int(state.range(1)));
    CCanvas565 canvas(&s.rows);
    CImageStore& store = canvas.GetImageStore();
    CStoredImage& image = store.GetOrCreate(1000);
    if (!store.Allocate(image, s.width, s.height, -s.width * 2)) {
        state.SkipWithError("no memory for the image");
        return;
    }
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            image.Row(y)[x] = ((x / 16 + y / 16) & 1) ? 0xF81F : uint16_t(x * 31 + y);
    for (auto _ : state) {
        canvas.DrawImageKey(1000, 0, 0, 0, 0, s.width, s.height, 0xFFFF00FFu);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.Bytes()));
}
BENCHMARK(BM_KeyedBlit)->Apply(ScreenArgs);

} // namespace

BENCHMARK_MAIN();
