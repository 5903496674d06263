// Feeds arbitrary bytes to the bitmap loader as a .bmp file and as a bare
// bitmap, under a straight and a flipped surface, and draws whatever loads.
#include "drawlib/canvas565.h"
#include "drawlib/image_store.h"
#include "foundation/page_arena.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void DrawAround(CCanvas565& canvas, uint32_t id)
{
    const CStoredImage* image = canvas.GetImageStore().buffer(id);
    if (!image || !image->buf())
        return;
    const int w = image->GetWidth(), h = image->GetHeight();
    canvas.DrawImage(id, 0, 0, 0, 0, w, h);
    canvas.DrawImageKey(id, -3, 5, 1, -2, w, h, 0xFFFF00FFu);
    canvas.DrawImageKeyAlpha(id, 7, -4, -1, 2, w + 3, h + 3, 0xFFFF00FFu, 0x80);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::vector<uint16_t> pixels(16 * 12);
        CImageRows rows;
        rows.Attach(reinterpret_cast<uint8_t*>(pixels.data()), 16, 12, 32);
        CCanvas565 straight(&rows);
        CCanvas565 flipped(&rows);
        flipped.GetOrientation().SetFromPoints(0, 11, 1, 11, 0, 10, 0, 2);
        CCanvas565 turned(&rows);
        turned.GetOrientation().SetFromPoints(15, 0, 15, 1, 14, 0, 1, 0);

        std::string error;
        for (CCanvas565* canvas : { &straight, &flipped, &turned }) {
            if (ConvertBitmapFile(*canvas, 1, data, size, &error))
                DrawAround(*canvas, 1);
            if (size > 14 && ConvertBitmap(*canvas, 2, data + 14, size - 14, true, &error))
                DrawAround(*canvas, 2);
        }
    }
    // Every stored image is gone with its canvas; start each input afresh so
    // the arena never runs out over a long run.
    ArenaRelease();
    return 0;
}
