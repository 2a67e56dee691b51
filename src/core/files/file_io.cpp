#include "core/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

namespace sora {
namespace {

class PosixFileIo final : public FileIo {
public:
    int open_for_write(const std::filesystem::path& path, bool append) override {
        const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
        int fd;
        do {
            fd = ::open(path.c_str(), flags, 0666);
        } while (fd < 0 && errno == EINTR);
        return fd;
    }

    long write(int fd, const char* data, std::size_t size) override {
        ssize_t n;
        do {
            n = ::write(fd, data, size);
        } while (n < 0 && errno == EINTR);
        return static_cast<long>(n);
    }

    int fsync(int fd) override {
        int rc;
        do {
            rc = ::fsync(fd);
        } while (rc < 0 && errno == EINTR);
        return rc;
    }

    // close() must not be retried on EINTR: the descriptor is already released on Linux.
    int close(int fd) override { return ::close(fd); }

    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return ::rename(from.c_str(), to.c_str());
    }

    int sync_directory(const std::filesystem::path& dir) override {
        int fd;
        do {
            fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            return -1;
        }
        const int rc = fsync(fd);
        const int closed = ::close(fd);
        return rc == 0 && closed == 0 ? 0 : -1;
    }
};

FileIo* g_current = nullptr;

std::string display_name(const std::filesystem::path& path) {
    return path.filename().string();
}

WriteResult failure(const std::filesystem::path& target) {
    return WriteResult{false, "「" + display_name(target) + "」を保存できませんでした。"};
}

/// Writes every byte, continuing after short writes. A write that makes no progress counts as a failure.
bool write_all(FileIo& io, int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void remove_quietly(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

}  // namespace

FileIo& posix_file_io() {
    static PosixFileIo io;
    return io;
}

FileIo& file_io() {
    return g_current != nullptr ? *g_current : posix_file_io();
}

FileIoOverride::FileIoOverride(FileIo& io) : m_previous(g_current) {
    g_current = &io;
}

FileIoOverride::~FileIoOverride() {
    g_current = m_previous;
}

WriteResult replace_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                         std::string_view bytes) {
    FileIo& io = file_io();
    const int fd = io.open_for_write(temporary, false);
    if (fd < 0) {
        remove_quietly(temporary);
        return failure(target);
    }
    if (!write_all(io, fd, bytes) || io.fsync(fd) != 0) {
        io.close(fd);
        remove_quietly(temporary);
        return failure(target);
    }
    if (io.close(fd) != 0) {
        remove_quietly(temporary);
        return failure(target);
    }
    // Renaming over the old file is atomic: at every moment either the old or the new file is in place.
    if (io.rename(temporary, target) != 0) {
        remove_quietly(temporary);
        return failure(target);
    }
    if (io.sync_directory(target.parent_path()) != 0) {
        return WriteResult{
            false, "「" + display_name(target) + "」は書き換えましたが、ディスクへの書き込みを確認できませんでした。",
            true};
    }
    return {};
}

WriteResult append_to_file(const std::filesystem::path& target, std::string_view bytes) {
    FileIo& io = file_io();
    struct stat before {};
    const bool existed = ::stat(target.c_str(), &before) == 0;
    const off_t oldSize = existed ? before.st_size : 0;

    const int fd = io.open_for_write(target, true);
    if (fd < 0) {
        return failure(target);
    }
    // A failed append is undone completely, so the file never ends in a partial line and a retry adds no duplicate.
    auto undo = [&] {
        if (existed) {
            int rc;
            do {
                rc = ::truncate(target.c_str(), oldSize);
            } while (rc < 0 && errno == EINTR);
        } else {
            remove_quietly(target);
        }
    };
    if (!write_all(io, fd, bytes) || io.fsync(fd) != 0) {
        io.close(fd);
        undo();
        return failure(target);
    }
    if (io.close(fd) != 0) {
        undo();
        return failure(target);
    }
    if (!existed && io.sync_directory(target.parent_path()) != 0) {
        return WriteResult{
            false, "「" + display_name(target) + "」は保存しましたが、ディスクへの書き込みを確認できませんでした。",
            true};
    }
    return {};
}

bool read_file(const std::filesystem::path& path, FileBytes& bytes) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // The size is only a hint: the loop reads until end of file even if the file grew meanwhile.
    std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t used = 0;
    for (;;) {
        if (used == capacity) {
            auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
            std::memcpy(larger.get(), buffer.get(), used);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t n = ::read(fd, buffer.get() + used, capacity - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.data = std::move(buffer);
    bytes.size = used;
    return true;
}

bool read_file(const std::filesystem::path& path, std::string& bytes) {
    FileBytes file;
    if (!read_file(path, file)) {
        bytes.clear();
        return false;
    }
    bytes.assign(file.data.get(), file.size);
    return true;
}

}  // namespace sora
