#pragma once

class CApplication;

// The single kernel application object; null before the kernel starts and after it ends.
extern CApplication* ZXSg_pApplication;

// Caller-owned handle of the kernel application; open while the pointer is set.
struct CZXS_AppHandle {
    CApplication* pApp = nullptr;

    bool IsOpen() const { return pApp != nullptr; }
};
