#pragma once
// Something that draws straight into the draw tool's off-screen pixels (an
// image buffer over the screen surface). The tool keeps one such client.
#include <cstdint>

class CDrawTool;
class CImageRows;

class CDrawBufferClient {
public:
    CDrawBufferClient() = default;
    CDrawBufferClient(const CDrawBufferClient&) = delete;
    CDrawBufferClient& operator=(const CDrawBufferClient&) = delete;
    virtual ~CDrawBufferClient();

    // Points this client at the tool's off-screen surface and makes it the
    // tool's client (replacing any earlier one).
    void Attach(CDrawTool* tool);
    // The first byte of the off-screen pixels; null when not attached or
    // while the tool has no buffer.
    uint8_t* GetBits() const;

private:
    friend class CDrawTool;
    const CImageRows* m_surface = nullptr;
    CDrawTool* m_tool = nullptr;
};
