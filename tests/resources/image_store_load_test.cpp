// Every generated picture goes through the drawing library's own bitmap
// loader: it is accepted, keeps its size, and its transparent pixels arrive as
// the 5-6-5 key colour.
#include "drawlib/canvas565.h"
#include "drawlib/image_store.h"
#include "foundation/image_rows.h"
#include "tools/resgen/resource_table.h"

#include <gtest/gtest.h>
#include <vector>

using namespace resgen;

TEST(ResourceFiles, TheImageStoreLoadsEveryPictureWithItsSizeAndKey)
{
    const auto text = ReadTextFile(QStringLiteral(TRAVENOR_RESOURCES_DIR "/resource_ids.tsv"));
    ASSERT_TRUE(text.has_value());
    QString error;
    const auto table = ParseResourceTable(*text, &error);
    ASSERT_TRUE(table.has_value()) << error.toStdString();
    std::vector<uint16_t> pixels(16 * 16);
    CImageRows rows;
    rows.Attach(reinterpret_cast<uint8_t*>(pixels.data()), 16, 16, 32);
    for (const char* folder : { "/qvga/", "/vga/", "/" }) {
        CCanvas565 canvas(&rows);
        const bool program = folder == std::string("/");
        for (const ResourceEntry& e : *table) {
            if (e.kind != Kind::Bitmap || (e.module == Module::Program) != program)
                continue;
            const QSize size = folder == std::string("/vga/") ? e.vga : e.qvga;
            for (int id : e.ids()) {
                const std::string path = (QStringLiteral(TRAVENOR_BUILD_DATA_DIR "/resources")
                    + QLatin1String(folder) + QString::number(id) + QStringLiteral(".bmp"))
                                             .toStdString();
                std::string why;
                ASSERT_TRUE(LoadBitmapFile(canvas, uint32_t(id), path, &why)) << path << ": " << why;
                const CStoredImage* image = canvas.GetImageStore().buffer(uint32_t(id));
                ASSERT_NE(image, nullptr);
                ASSERT_NE(image->buf(), nullptr);
                EXPECT_EQ(QSize(image->GetWidth(), image->GetHeight()), size) << path;
                bool anyKey = false;
                for (int r = 0; r < image->GetHeight() && !anyKey; ++r) {
                    for (int x = 0; x < image->GetWidth(); ++x)
                        anyKey |= image->Row(r)[x] == 0xF81F;
                }
                EXPECT_EQ(anyKey, e.keyed) << path;
            }
        }
    }
}
