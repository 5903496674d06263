#include "kernel/api/app_interface.h"

#include <memory>
#include <new>
#include <string>

#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/doc/code_page.h"

namespace {

// UTF-8 of a UTF-16 text; false for an unpaired surrogate.
bool ToUtf8(const char16_t* text, std::string& out)
{
    try {
        for (size_t i = 0; text[i] != 0; ++i) {
            uint32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF) {
                const uint32_t low = text[i + 1];
                if (low < 0xDC00 || low > 0xDFFF)
                    return false;
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                return false;
            }
            CZXS_CodePage::AppendUtf8(c, out);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool KeyLengthFits(int32_t keyLength) { return keyLength >= INT16_MIN && keyLength <= INT16_MAX; }

int32_t Open(CZXS_MapHandle* handle, const void* owner, const ZXS_MapSource& source, const uint8_t* key,
    int32_t keyLength, int readerKind)
{
    CApplication* app = ZXSg_pApplication;
    if (app == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (handle->pDoc != nullptr)
        app->Documents().CloseDocument(handle->pDoc);
    handle->pDoc = nullptr;
    handle->pOwner = nullptr;
    int32_t error = 0;
    CZXS_Doc* doc
        = app->Documents().OpenDocument(&source, key, static_cast<int16_t>(keyLength), readerKind, error);
    if (doc == nullptr)
        return ZXS_TranslateOpenError(error);
    handle->pDoc = doc;
    handle->pOwner = owner;
    return ZXS_OK;
}

} // namespace

void ZXS_AppHandleInit(CZXS_AppHandle* handle)
{
    if (handle != nullptr)
        handle->pApp = nullptr;
}

int32_t ZXS_AppCreate(CZXS_AppHandle* handle, const uint8_t* symbols, size_t symbolsSize,
    const char* fontFolder, int32_t journalMode)
{
    if (handle == nullptr)
        return ZXS_ERR_PARAM;
    if (handle->pApp != nullptr)
        return ZXS_OK;
    std::unique_ptr<CApplication> app(new (std::nothrow) CApplication);
    if (!app)
        return ZXS_ERR_MEMORY;
    if (!app->Fonts().FindFonts(fontFolder))
        return ZXS_ERR_FONTS;
    // The kernel root is set before the threads start, as they may reach it.
    ZXSg_pApplication = app.get();
    if (!app->Init(symbols, symbolsSize, journalMode)) {
        const int32_t code = ZXS_TranslateStartError(app->GetError());
        app.reset();
        ZXSg_pApplication = nullptr;
        return code;
    }
    handle->pApp = app.release();
    return ZXS_OK;
}

void ZXS_AppExit(CZXS_AppHandle* handle)
{
    if (handle == nullptr || handle->pApp == nullptr)
        return;
    std::unique_ptr<CApplication> app(handle->pApp);
    app->Shutdown();
    app.reset();
    handle->pApp = nullptr;
    ZXSg_pApplication = nullptr;
}

void ZXS_AppRelease(CZXS_AppHandle* handle)
{
    if (handle != nullptr && handle->pApp != nullptr) {
        std::unique_ptr<CApplication> app(handle->pApp);
        app.reset();
        handle->pApp = nullptr;
    }
    ZXSg_pApplication = nullptr;
}

int32_t ZXS_AppCheck() { return 1; }

int32_t ZXS_MapOpen(CZXS_MapHandle* handle, const void* owner, const char16_t* path, const uint8_t* key,
    int32_t keyLength, int32_t readerKind)
{
    if (handle == nullptr || owner == nullptr || path == nullptr || !KeyLengthFits(keyLength))
        return ZXS_ERR_PARAM;
    std::string utf8;
    if (!ToUtf8(path, utf8))
        return ZXS_ERR_PARAM;
    ZXS_MapSource source;
    source.path = utf8.c_str();
    return Open(handle, owner, source, key, keyLength, readerKind != 0 ? 1 : 0);
}

int32_t ZXS_MapOpenA(CZXS_MapHandle* handle, const void* owner, const char* path, const uint8_t* key,
    int32_t keyLength, int32_t readerKind)
{
    if (handle == nullptr || owner == nullptr || path == nullptr || !KeyLengthFits(keyLength))
        return ZXS_ERR_PARAM;
    ZXS_MapSource source;
    source.path = path;
    return Open(handle, owner, source, key, keyLength, readerKind != 0 ? 1 : 0);
}

int32_t ZXS_MapOpenMemory(CZXS_MapHandle* handle, const void* owner, const uint8_t* map, uint32_t mapSize,
    const uint8_t* graph, uint32_t graphSize, const uint8_t* poi, uint32_t poiSize, const uint8_t* key,
    int32_t keyLength)
{
    if (handle == nullptr || owner == nullptr || map == nullptr || mapSize == 0 || !KeyLengthFits(keyLength))
        return ZXS_ERR_PARAM;
    ZXS_MapSource source;
    source.mapBlock = map;
    source.mapSize = mapSize;
    source.graphBlock = graph;
    source.graphSize = graphSize;
    source.poiBlock = poi;
    source.poiSize = poiSize;
    return Open(handle, owner, source, key, keyLength, 2);
}

void ZXS_MapClose(CZXS_MapHandle* handle)
{
    if (handle == nullptr || handle->pDoc == nullptr)
        return;
    if (CApplication* app = ZXSg_pApplication)
        app->Documents().CloseDocument(handle->pDoc);
    handle->pDoc = nullptr;
    handle->pOwner = nullptr;
}

int32_t ZXS_MapOpenRestyled(
    CZXS_MapHandle* target, const CZXS_MapHandle* source, const uint8_t* styles, int32_t count)
{
    if (target == nullptr)
        return ZXS_ERR_PARAM;
    if (target->pDoc != nullptr || target->pOwner != nullptr)
        return ZXS_ERR_ALREADY;
    if (source == nullptr || styles == nullptr || count < 1)
        return ZXS_ERR_PARAM;
    if (source->pDoc == nullptr)
        return ZXS_ERR_ALREADY;
    // Without the kernel the source's document is gone: it is not looked at.
    CApplication* app = ZXSg_pApplication;
    if (app == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (!source->pDoc->Map().Header().HasMagic())
        return ZXS_ERR_ALREADY;
    CZXS_Doc* alias = app->Documents().OpenRestyled(source->pDoc, styles, static_cast<uint32_t>(count));
    if (alias == nullptr)
        return ZXS_ERR_MEMORY;
    target->pDoc = alias;
    target->pOwner = source->pOwner;
    return ZXS_OK;
}
