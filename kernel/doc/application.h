#pragma once

#include <cstddef>
#include <cstdint>

#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/object.h"
#include "kernel/doc/poi_store.h"
#include "kernel/render/app_ft_manager.h"
#include "kernel/render/symbol_set.h"

// The single root object of the map kernel: the open documents with their
// thread, the font, the POI sets and the symbol image set. Every part reports
// its failures into this object's error code.
class CApplication : public CZXS_Object {
public:
    CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;
    ~CApplication() override;

    const char16_t* ClassName() const override { return u"CApplication"; }

    // Loads the symbol set (the block must outlive the kernel) and the font,
    // starts the document thread with the journal mode, builds the POI
    // category index and starts the render thread. At once when done before. False with the error stored:
    // 2001 symbol set rejected, 2000 or 2003 from the font.
    bool Init(const uint8_t* symbols, size_t symbolsSize, int32_t journalMode);
    // Closes every document and stops the render thread.
    void Shutdown();
    bool IsInitialised() const { return m_initialised; }

    CAppDocManager& Documents() { return m_documents; }
    CAppFT_Manager& Fonts() { return m_fonts; }
    CZXS_PoiStore& Pois() { return m_pois; }
    const CZXS_SymbolSet& Symbols() const { return m_symbols; }

private:
    CZXS_PoiStore m_pois;
    CAppDocManager m_documents;
    CAppFT_Manager m_fonts;
    CZXS_SymbolSet m_symbols;
    bool m_initialised = false;
};
