#pragma once

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#include "core/files/file_io.h"

namespace sora::test {

/// The real file calls, except that the N-th call (1-based, counting every kind) fails, and writes can be made short.
class FaultyIo : public FileIo {
public:
    explicit FaultyIo(int failAt = 0, std::size_t maxWrite = 0) : m_failAt(failAt), m_maxWrite(maxWrite) {}

    int calls() const { return m_calls; }
    bool failed() const { return m_failed; }
    std::string failedCall() const { return m_failedCall; }

    int open_for_write(const std::filesystem::path& path, bool append) override {
        return fail("open") ? -1 : posix_file_io().open_for_write(path, append);
    }
    long write(int fd, const char* data, std::size_t size) override {
        if (fail("write")) {
            return -1;
        }
        return posix_file_io().write(fd, data, m_maxWrite != 0 ? std::min(size, m_maxWrite) : size);
    }
    int fsync(int fd) override { return fail("fsync") ? -1 : posix_file_io().fsync(fd); }
    int close(int fd) override {
        // A failed close still releases the descriptor, as on Linux.
        const bool failing = fail("close");
        const int rc = posix_file_io().close(fd);
        return failing ? -1 : rc;
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return fail("rename") ? -1 : posix_file_io().rename(from, to);
    }
    int sync_directory(const std::filesystem::path& dir) override {
        return fail("sync_directory") ? -1 : posix_file_io().sync_directory(dir);
    }

private:
    bool fail(const char* what) {
        if (++m_calls == m_failAt) {
            errno = EIO;  // a plain I/O error: the message names no particular cause
            m_failed = true;
            m_failedCall = what;
            return true;
        }
        return false;
    }

    int m_failAt;
    std::size_t m_maxWrite;
    int m_calls = 0;
    bool m_failed = false;
    std::string m_failedCall;
};

/// The real file calls; a test double overrides the one it needs.
class PassThroughIo : public FileIo {
public:
    int open_for_write(const std::filesystem::path& path, bool append) override {
        return posix_file_io().open_for_write(path, append);
    }
    long write(int fd, const char* data, std::size_t size) override { return posix_file_io().write(fd, data, size); }
    int fsync(int fd) override { return posix_file_io().fsync(fd); }
    int close(int fd) override { return posix_file_io().close(fd); }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return posix_file_io().rename(from, to);
    }
    int sync_directory(const std::filesystem::path& dir) override { return posix_file_io().sync_directory(dir); }
};

/// Fails every rename onto a file of the given name (the last step of every replacing write).
class FailRenameOnto : public PassThroughIo {
public:
    explicit FailRenameOnto(std::string name) : m_name(std::move(name)) {}
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        errno = EIO;
        return to.filename() == std::filesystem::u8path(m_name) ? -1 : posix_file_io().rename(from, to);
    }

private:
    std::string m_name;
};

}  // namespace sora::test
