#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "kernel/doc/object.h"

// Finds the kernel's TrueType font at start and loads one face for the whole
// kernel, which every view's glyph cache shares.
class CAppFT_Manager : public CZXS_Object {
public:
    // The font engine with its one face. A face keeps one transform, one pixel
    // size and one glyph slot, so it serves one thread at a time: whoever uses
    // it holds `lock`, and sets the size it needs while holding it.
    struct Engine {
        Engine() = default;
        Engine(const Engine&) = delete;
        Engine& operator=(const Engine&) = delete;
        ~Engine();

        FT_Library library = nullptr;
        FT_Face face = nullptr;
        std::mutex lock;
        // The pixel size last set on the face (-1: none yet).
        int32_t width = -1;
        int32_t height = -1;
        // Sets the face to this size unless it has it; the caller holds `lock`.
        bool UseSize(int32_t w, int32_t h);
    };

    // Shows the kernel's rare notices; the default writes them to standard error.
    using MessageBoxFunction = void (*)(const char* text, const char* caption);
    static void SetMessageBoxFunction(MessageBoxFunction function);

    CAppFT_Manager() = default;
    const char16_t* ClassName() const override { return u"CAppFT_Manager"; }

    // True when a font file opens in `folder` (a path ending in its separator)
    // or in its "Fonts" subfolder, which then becomes the font folder.
    bool FindFonts(const char* folder);
    // Starts the font engine and loads the first face that opens from the font
    // folder: error 2000 when the engine fails, 2003 (with a notice) when no face loads.
    bool LoadFont();

    const std::string& FontFolder() const { return m_folder; }
    const std::shared_ptr<Engine>& GetEngine() const { return m_engine; }

private:
    std::string m_folder;
    std::shared_ptr<Engine> m_engine;
};
