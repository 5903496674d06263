#pragma once
// One open file shared by several users (copies of a jam-file entry, say). Each
// copy of a CSharedFileHandle is one reference; the last one to go closes the
// file. Streams are attached to Get().
#include "foundation/file_stream.h"
#include "platform/unique_fd.h"

#include <memory>

class CSharedFileHandle {
public:
    CSharedFileHandle() = default;
    // A new holder of `handle` with one reference. The handle becomes ours to close.
    explicit CSharedFileHandle(FileHandle handle);

    // The handle; INVALID_HANDLE_VALUE when there is no file.
    FileHandle Get() const;
    // How many users share the holder; 0 without one.
    long RefCount() const;

    // Drops this user's reference; the last one closes the handle.
    void Release();
    // Puts a new handle in for this user: a holder used by no one else is
    // reused (its old handle closed); a shared one is left to the others and
    // this user gets a holder of its own. False when no holder could be made;
    // the new handle is then closed rather than leaked.
    bool Reset(FileHandle newHandle);

private:
    struct Holder {
        explicit Holder(platform::UniqueFd h)
            : handle(std::move(h))
        {
        }
        platform::UniqueFd handle;
    };
    std::shared_ptr<Holder> m_holder;
};
