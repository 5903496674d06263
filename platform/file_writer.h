#pragma once
// Replacing a file that holds the user's data: the new contents go to a
// temporary file in the same folder, are flushed to the disk and then renamed
// over the old file, so a failed or partial write never loses the old one.
#include <cstddef>
#include <string>

#include "platform/unique_fd.h"

namespace platform {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    // Without a successful Commit the temporary file is removed and the old
    // file stays as it was.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False once anything failed; the temporary file is gone by then.
    bool Write(const void* data, size_t size);
    // Flushes and renames over the target; false (and the old file kept)
    // when anything failed, now or before.
    bool Commit();
    // What failed, naming the file; empty while all went well.
    const std::string& Error() const;

private:
    void Fail(const std::string& what, int error);
    void Discard();

    std::string m_path;
    std::string m_tempPath;
    std::string m_error;
    UniqueFd m_fd;
    bool m_done = false;
};

bool WriteFileAtomically(
    const std::string& path, const void* data, size_t size, std::string* error = nullptr);

// Creates a file that must not exist yet (never replacing one) with the given
// contents; a failed write removes the partial file.
bool WriteNewFile(const std::string& path, const void* data, size_t size, std::string* error = nullptr);

} // namespace platform
