#include "foundation/shared_file_handle.h"

#include <new>
#include <unistd.h>

namespace {

void CloseHandle(FileHandle handle)
{
    if (handle != INVALID_HANDLE_VALUE)
        ::close(handle);
}

} // namespace

CSharedFileHandle::Holder::~Holder() { CloseHandle(handle); }

CSharedFileHandle::CSharedFileHandle(FileHandle handle) { Reset(handle); }

FileHandle CSharedFileHandle::Get() const { return m_holder ? m_holder->handle : INVALID_HANDLE_VALUE; }

long CSharedFileHandle::RefCount() const { return m_holder.use_count(); }

void CSharedFileHandle::Release() { m_holder.reset(); }

bool CSharedFileHandle::Reset(FileHandle newHandle)
{
    if (m_holder && m_holder.use_count() == 1) {
        if (m_holder->handle != newHandle)
            CloseHandle(m_holder->handle);
        m_holder->handle = newHandle;
        return true;
    }
    m_holder.reset();
    try {
        m_holder = std::make_shared<Holder>(newHandle);
    } catch (const std::bad_alloc&) {
        CloseHandle(newHandle);
        return false;
    }
    return true;
}
