#pragma once
// A started kernel for tests: a font folder of its own (DejaVu Sans under the
// name the kernel looks for), the kernel's clock on a manual local time in UTC.
#include <atomic>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "kernel/api/app_interface.h"
#include "kernel/doc/kernel_clock.h"
#include "tests/support/map_fixture.h"

namespace kernel_fixture {

inline std::atomic<int64_t> g_now { 1700000000 }; // 2023-11-14 22:13:20 UTC
inline ZXS_Tm ManualLocalTime() { return CZXS_KernelClock::SecondsToLocal(g_now.load()); }

// A folder holding one font the kernel accepts.
class FontFolder {
public:
    FontFolder()
    {
        std::error_code ignored;
        std::filesystem::create_symlink(
            "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", m_folder.File("arial.ttf"), ignored);
    }
    std::string Prefix() const { return m_folder.Path() + "/"; }

private:
    testing_support::TempFolder m_folder;
};

class ScopedKernel {
public:
    explicit ScopedKernel(int32_t journalMode = 3)
    {
        ZXS_TimeZone utc;
        CZXS_KernelClock::SetTimeZone(&utc);
        CZXS_KernelClock::SetLocalClock(ManualLocalTime);
        ZXS_AppHandleInit(&m_handle);
        m_result = ZXS_AppCreate(&m_handle, nullptr, 0, m_fonts.Prefix().c_str(), journalMode);
        EXPECT_EQ(m_result, 0);
    }
    ~ScopedKernel()
    {
        ZXS_AppExit(&m_handle);
        CZXS_KernelClock::SetLocalClock(nullptr);
        CZXS_KernelClock::SetTimeZone(nullptr);
    }
    ScopedKernel(const ScopedKernel&) = delete;
    ScopedKernel& operator=(const ScopedKernel&) = delete;

    CZXS_AppHandle& Handle() { return m_handle; }
    CApplication* App() { return m_handle.pApp; }

private:
    FontFolder m_fonts;
    CZXS_AppHandle m_handle;
    int32_t m_result = -1;
};

} // namespace kernel_fixture
