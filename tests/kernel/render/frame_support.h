#pragma once
// A started kernel with one map open and views of it, for frame tests.

#include <QImage>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/api/app_interface.h"
#include "kernel/api/map_query.h"
#include "kernel/api/view_interface.h"
#include "tests/support/map_fixture.h"

namespace frame_support {

inline std::string ShippedMap()
{
    return (std::filesystem::path(TRAVENOR_BUILD_DATA_DIR) / "mskmo0704.tzx").string();
}
inline std::string RenderMap(const std::string& name)
{
    return (std::filesystem::path(TRAVENOR_RENDER_MAPS_DIR) / (name + ".tzx")).string();
}

class Kernel {
public:
    // `symbols`, when given, is the symbol image set; it must outlive the kernel.
    explicit Kernel(const std::vector<uint8_t>* symbols = nullptr)
    {
        // The font folder ends in its separator.
        const std::string fonts = (std::filesystem::path(TRAVENOR_BUILD_DATA_DIR) / "").string();
        started = ZXS_AppCreate(&app, symbols != nullptr ? symbols->data() : nullptr,
                      symbols != nullptr ? symbols->size() : 0, fonts.c_str(), 0)
            == 0;
    }
    ~Kernel() { ZXS_AppExit(&app); }
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    CZXS_AppHandle app;
    bool started = false;
};

// A map opens for one process at a time, and tests run side by side: each
// opens its own copy of the map and its companion files.
class Map {
public:
    explicit Map(const std::string& path)
    {
        namespace fs = std::filesystem;
        std::error_code error;
        for (const char* extension : { ".tzx", ".zxg", ".zxp" }) {
            const fs::path from = fs::path(path).replace_extension(extension);
            if (fs::exists(from))
                fs::copy_file(from, fs::path(m_folder.Path()) / from.filename(), error);
        }
        const std::string copy = (fs::path(m_folder.Path()) / fs::path(path).filename()).string();
        opened = ZXS_MapOpenA(&handle, &owner, copy.c_str(), nullptr, 0, 0) == 0;
    }
    ~Map() { ZXS_MapClose(&handle); }
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    CZXS_MapHandle handle;
    bool opened = false;

private:
    testing_support::TempFolder m_folder;
    const char owner = 0;
};

class View {
public:
    View(CZXS_MapHandle& map, int32_t width, int32_t height, bool antialiased = true)
    {
        ok = ZXS_ViewCreate(&handle, &map) == 0
            && ZXS_ViewResize(&handle, nullptr, width, height, antialiased ? 1 : 0) == 0;
    }
    ~View() { ZXS_ViewDestroy(&handle); }
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    bool Place(int32_t x, int32_t y, int32_t scale, int32_t rotation)
    {
        return ZXS_ViewSetRotation(&handle, rotation) == 0 && ZXS_ViewSetPosition(&handle, x, y, scale) == 0;
    }
    // A whole frame on this thread, from a cleared image.
    bool Render() { return ZXS_ViewClear(&handle) == 0 && ZXS_ViewRender(&handle, 0, nullptr) == 0; }

    QImage Picture() const
    {
        const ZXS_DeviceContext* dc = ZXS_ViewGetDC(&handle);
        QImage image(dc->width, dc->height, QImage::Format_RGB16);
        for (int32_t y = 0; y < dc->height; ++y)
            std::memcpy(image.scanLine(y), dc->bits + static_cast<int64_t>(y) * dc->stride,
                static_cast<size_t>(dc->width) * 2);
        return image;
    }

    CZXS_ViewHandle handle;
    bool ok = false;
};

} // namespace frame_support
