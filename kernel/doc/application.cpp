#include "kernel/doc/application.h"

#include <mutex>

#include "kernel/api/result_codes.h"
#include "kernel/render/async_renderer.h"

CApplication::CApplication()
    : m_documents(*this, m_pois)
{
}

CApplication::~CApplication()
{
    // The threads go first: they walk the documents, which hold POI sets.
    CAsyncRenderer::Instance().Stop();
    m_documents.StopThread();
    m_pois.Clear();
    m_symbols.Release();
}

bool CApplication::Init(const uint8_t* symbols, size_t symbolsSize, int32_t journalMode)
{
    if (m_initialised)
        return true;
    if (m_symbols.Load(symbols, symbolsSize) != 0) {
        SetError(ZXS_KERR_SYMBOLSET);
        return false;
    }
    std::unique_lock lock(m_documents.KernelLock(), std::defer_lock);
    if (!lock.try_lock_for(CAppDocManager::kLockWait)) {
        SetError(0);
        return false;
    }
    if (!m_fonts.LoadFont()) {
        SetError(m_fonts.GetError());
        return false;
    }
    if (!m_documents.StartThread(journalMode))
        return false;
    if (!m_pois.BuildCategoryIndex()) {
        SetError(m_pois.GetError());
        return false;
    }
    if (!CAsyncRenderer::Instance().Start()) {
        SetError(0);
        return false;
    }
    m_initialised = true;
    return true;
}

void CApplication::Shutdown()
{
    m_documents.CloseAll();
    CAsyncRenderer::Instance().Stop();
}
