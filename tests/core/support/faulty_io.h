#pragma once

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
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
    /// The folder of the file (or the folder itself) that the failed call was about.
    const std::filesystem::path& failedFolder() const { return m_failedFolder; }

    int open_for_write(const std::filesystem::path& path, bool append) override {
        if (fail("open", path.parent_path())) {
            return -1;
        }
        const int fd = posix_file_io().open_for_write(path, append);
        if (fd >= 0) {
            m_folders[fd] = path.parent_path();
        }
        return fd;
    }
    long write(int fd, const char* data, std::size_t size) override {
        if (fail("write", m_folders[fd])) {
            return -1;
        }
        return posix_file_io().write(fd, data, m_maxWrite != 0 ? std::min(size, m_maxWrite) : size);
    }
    int fsync(int fd) override { return fail("fsync", m_folders[fd]) ? -1 : posix_file_io().fsync(fd); }
    int close(int fd) override {
        // A failed close still releases the descriptor, as on Linux.
        const bool failing = fail("close", m_folders[fd]);
        m_folders.erase(fd);
        const int rc = posix_file_io().close(fd);
        return failing ? -1 : rc;
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return fail("rename", to.parent_path()) ? -1 : posix_file_io().rename(from, to);
    }
    int sync_directory(const std::filesystem::path& dir) override {
        return fail("sync_directory", dir) ? -1 : posix_file_io().sync_directory(dir);
    }

private:
    bool fail(const char* what, const std::filesystem::path& folder) {
        if (++m_calls == m_failAt) {
            errno = EIO;  // a plain I/O error: the message names no particular cause
            m_failed = true;
            m_failedCall = what;
            m_failedFolder = folder;
            return true;
        }
        return false;
    }

    int m_failAt;
    std::size_t m_maxWrite;
    int m_calls = 0;
    bool m_failed = false;
    std::string m_failedCall;
    std::filesystem::path m_failedFolder;
    std::map<int, std::filesystem::path> m_folders;  // the folder of each open descriptor
};

/// True when the failed call was about the folder of the automatic copies of the log: a write that comes after such
/// a copy goes on all the same.
inline bool failed_in_backup_folder(const FaultyIo& io) {
    return io.failed() && io.failedFolder().filename() == "backup";
}

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
        if (to.filename() == std::filesystem::u8path(m_name)) {
            errno = EIO;
            return -1;
        }
        return posix_file_io().rename(from, to);
    }

private:
    std::string m_name;
};

}  // namespace sora::test
