#include "foundation/shared_file_handle.h"

#include <new>

CSharedFileHandle::CSharedFileHandle(FileHandle handle) { Reset(handle); }

FileHandle CSharedFileHandle::Get() const { return m_holder ? m_holder->handle.Get() : INVALID_HANDLE_VALUE; }

long CSharedFileHandle::RefCount() const { return m_holder.use_count(); }

void CSharedFileHandle::Release() { m_holder.reset(); }

bool CSharedFileHandle::Reset(FileHandle newHandle)
{
    platform::UniqueFd handle(newHandle);
    if (m_holder && m_holder.use_count() == 1) {
        if (m_holder->handle.Get() != newHandle)
            m_holder->handle = std::move(handle);
        else
            handle.Release(); // already held
        return true;
    }
    m_holder.reset();
    try {
        m_holder = std::make_shared<Holder>(std::move(handle));
    } catch (const std::bad_alloc&) {
        return false; // `handle` closes the new descriptor rather than leak it
    }
    return true;
}
