#include "drawlib/draw_buffer_client.h"

#include "drawlib/draw_tool.h"

CDrawBufferClient::~CDrawBufferClient()
{
    // The tool must not keep a pointer to a client that is gone.
    if (m_tool && m_tool->GetClient() == this)
        m_tool->SetClient(nullptr);
}

void CDrawBufferClient::Attach(CDrawTool* tool)
{
    if (tool)
        tool->SetClient(this);
}

uint8_t* CDrawBufferClient::GetBits() const { return m_surface ? m_surface->GetPixels() : nullptr; }
