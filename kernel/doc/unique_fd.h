#pragma once

#include <unistd.h>

// A file descriptor of a map stream, closed exactly once: when the holder
// goes or another descriptor replaces it. (The kernel uses nothing of the
// platform layer, so it keeps this small holder of its own.)
class CZXS_UniqueFd {
public:
    CZXS_UniqueFd() = default;
    explicit CZXS_UniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~CZXS_UniqueFd() { Reset(); }
    CZXS_UniqueFd(const CZXS_UniqueFd&) = delete;
    CZXS_UniqueFd& operator=(const CZXS_UniqueFd&) = delete;

    int Get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void Reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd = -1;
};
