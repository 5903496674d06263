#pragma once

#include <cerrno>
#include <unistd.h>

// A file descriptor (file, socket, eventfd, folder) owned by one object and
// closed exactly once: when the holder goes, when another descriptor replaces
// it, or by Close, which reports what closing said.
namespace platform {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(other.Release())
    {
    }
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    explicit operator bool() const { return IsOpen(); }

    // Gives the descriptor up without closing it.
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes the descriptor held (if any) and holds `fd` instead.
    void Reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now: 0, or the error closing reported (a writer's last word on
    // whether its data reached the file).
    int Close()
    {
        const int fd = Release();
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd = -1;
};

} // namespace platform
