#include "kernel/render/app_ft_manager.h"

#include <atomic>
#include <cstdio>
#include <new>

#include "kernel/api/result_codes.h"

namespace {

const char* const kFolderFonts[] = { "VUDOZ.TTF", "arial.ttf", "tahoma.ttf" };
const char* const kSubfolderFonts[] = { "arial.ttf", "tahoma.ttf" };
const char* const kSubfolder = "Fonts/";

void WriteToStandardError(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

std::atomic<CAppFT_Manager::MessageBoxFunction> g_messageBox { &WriteToStandardError };

bool Opens(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

} // namespace

CAppFT_Manager::Engine::~Engine()
{
    if (face != nullptr)
        FT_Done_Face(face);
    if (library != nullptr)
        FT_Done_FreeType(library);
}

bool CAppFT_Manager::Engine::UseSize(int32_t w, int32_t h)
{
    if (w == width && h == height)
        return true;
    if (w < 0 || h < 0 || FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(w), static_cast<FT_UInt>(h)) != 0) {
        width = height = -1;
        return false;
    }
    width = w;
    height = h;
    return true;
}

void CAppFT_Manager::SetMessageBoxFunction(MessageBoxFunction function)
{
    g_messageBox.store(function != nullptr ? function : &WriteToStandardError);
}

bool CAppFT_Manager::FindFonts(const char* folder)
{
    m_folder = folder != nullptr ? folder : "";
    for (const char* name : kFolderFonts)
        if (Opens(m_folder + name))
            return true;
    m_folder += kSubfolder;
    for (const char* name : kSubfolderFonts)
        if (Opens(m_folder + name))
            return true;
    return false;
}

bool CAppFT_Manager::LoadFont()
{
    auto engine = std::shared_ptr<Engine>(new (std::nothrow) Engine);
    if (!engine || FT_Init_FreeType(&engine->library) != 0) {
        SetError(ZXS_KERR_FONTINIT);
        return false;
    }
    std::string path;
    FT_Error error = 0;
    for (const char* name : kFolderFonts) {
        path = m_folder + name;
        error = FT_New_Face(engine->library, path.c_str(), 0, &engine->face);
        if (error == 0) {
            m_engine = std::move(engine);
            return true;
        }
        engine->face = nullptr;
    }
    char text[600];
    std::snprintf(text, sizeof text, "Unable to load font\n\"%s\"\nerror code: %xH", path.c_str(),
        static_cast<unsigned>(error));
    g_messageBox.load()(text, "RODI");
    SetError(ZXS_KERR_NOFACE);
    return false;
}
