#include "core/files/file_io.h"
#include "core/files/own_writes.h"

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
        // A new file is never opened over an existing one: two writers must not share a temporary file.
        const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_EXCL);
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
        const int result = ::rename(from.c_str(), to.c_str());
        if (result == 0) {
            note_own_write(to);
        }
        return result;
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

/// Why a file call failed, in the user's words; empty when there is nothing more useful to say than "not saved".
std::string reason_of(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が足りません。";
        case EACCES:
        case EPERM:
            return "書き込みの権限がありません。";
        case EROFS:
            return "読み取り専用のファイルシステムです。";
        case ENOENT:
            return "保存先のフォルダがありません。";
        case ENOTDIR:
            return "保存先がフォルダではありません。";
        case EISDIR:
            return "同じ名前のフォルダがあります。";
        default:
            return {};
    }
}

/// The failure of the call that just returned an error: reads errno before anything else can change it.
WriteResult failure(const std::filesystem::path& target, int error) {
    return WriteResult{false, "「" + display_name(target) + "」を保存できませんでした。" + reason_of(error)};
}

/// Only a regular file is ever replaced: renaming over a device or a FIFO would put a plain file in its place.
WriteResult not_regular_failure(const std::filesystem::path& target, const struct stat& info) {
    const char* kind = S_ISDIR(info.st_mode)    ? "フォルダ"
                       : S_ISFIFO(info.st_mode) ? "FIFO（名前付きパイプ）"
                       : S_ISSOCK(info.st_mode) ? "ソケット"
                                                : "デバイス";
    return WriteResult{false, "「" + display_name(target) + "」は普通のファイルではない（" + std::string(kind) +
                                  "）ため、置き換えませんでした。"};
}

WriteResult read_only_failure(const std::filesystem::path& target) {
    return WriteResult{false, "「" + display_name(target) + "」は読み取り専用のため保存できませんでした。"};
}

WriteResult changed_failure(const std::filesystem::path& target) {
    WriteResult result{false, changed_on_disk_message(target)};
    result.changedOnDisk = true;
    return result;
}

/// Writes every byte, continuing after short writes; `done` counts what reached the file. A write that makes no
/// progress counts as a failure.
bool write_all(FileIo& io, int fd, std::string_view bytes, std::size_t& done) {
    done = 0;
    while (done < bytes.size()) {
        const long n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool write_all(FileIo& io, int fd, std::string_view bytes) {
    std::size_t done = 0;
    return write_all(io, fd, bytes, done);
}

void remove_quietly(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

FileStamp stamp_from(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<unsigned long long>(info.st_dev);
    stamp.inode = static_cast<unsigned long long>(info.st_ino);
    stamp.size = static_cast<long long>(info.st_size);
    stamp.modifiedNs = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<long long>(info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec;
    return stamp;
}

/// A file the owner may not write is refused for every kind of save alike, also for root, which the kernel would
/// let through.
bool write_protected(const struct stat& info) {
    return (info.st_mode & S_IWUSR) == 0;
}

/// Creates a new temporary file beside `real`, named after `temporary` with a unique part
/// ("データコピー.txt" → "データコピー.4711-1.txt"); -1 with errno set on failure.
int create_temporary(FileIo& io, const std::filesystem::path& real, const std::filesystem::path& temporary,
                     std::filesystem::path& created) {
    static unsigned counter = 0;
    const std::string stem = temporary.stem().string();
    const std::string extension = temporary.extension().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = real.parent_path() /
                  (stem + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + extension);
        const int fd = io.open_for_write(created, false);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

/// Writes `bytes` completely to a new temporary file beside `real` (the file behind `target`), with the permissions
/// and owner of `old` when the file exists, fsynced and closed. On failure nothing is left behind.
WriteResult stage_beside(FileIo& io, const std::filesystem::path& target, const std::filesystem::path& real,
                         const struct stat* old, const std::filesystem::path& temporary, std::string_view bytes,
                         std::filesystem::path& created, int newMode = -1) {
    const int fd = create_temporary(io, real, temporary, created);
    if (fd < 0) {
        return failure(target, errno);
    }
    if (!write_all(io, fd, bytes) || io.fsync(fd) != 0) {
        const int error = errno;
        io.close(fd);
        remove_quietly(created);
        return failure(target, error);
    }
    if (old != nullptr) {
        // The new file takes the old one's place with its permissions and, where allowed, its owner.
        (void)::fchmod(fd, old->st_mode & 07777);
        (void)::fchown(fd, old->st_uid, old->st_gid);
    } else if (newMode >= 0) {
        (void)::fchmod(fd, static_cast<mode_t>(newMode));
    }
    if (io.close(fd) != 0) {
        const int error = errno;
        remove_quietly(created);
        return failure(target, error);
    }
    return {};
}

}  // namespace

std::string changed_on_disk_message(const std::filesystem::path& target) {
    return "「" + display_name(target) +
           "」が他のプログラムで変更されていたため、保存しませんでした。\r\n画面を開き直してから、もう一度保存してくだ"
           "さい。";
}

FileStamp stamp_of(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return stamp_from(info);
}

std::filesystem::path write_target(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    // A bounded walk: a loop of links ends here as a plain failure of the write.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(current, ec)) {
            return current;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(current, ec);
        if (ec) {
            return current;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current;
}

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

std::optional<WriteResult> replace_refusal(const std::filesystem::path& target) {
    struct stat old {};
    if (::stat(write_target(target).c_str(), &old) != 0) {
        return std::nullopt;
    }
    if (!S_ISREG(old.st_mode)) {
        return not_regular_failure(target, old);
    }
    if (write_protected(old)) {
        return read_only_failure(target);
    }
    return std::nullopt;
}

WriteResult write_failure(const std::filesystem::path& target, int error) {
    return failure(target, error);
}

WriteResult stage_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                       std::string_view bytes, StagedFile& staged) {
    staged.real = write_target(target);
    staged.temporary.clear();
    struct stat old {};
    const bool existed = ::stat(staged.real.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        return not_regular_failure(target, old);
    }
    if (existed && write_protected(old)) {
        return read_only_failure(target);
    }
    WriteResult result =
        stage_beside(file_io(), target, staged.real, existed ? &old : nullptr, temporary, bytes, staged.temporary);
    if (!result) {
        staged.temporary.clear();  // the name tried last may be another writer's file
    }
    return result;
}

WriteResult replace_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                         std::string_view bytes, const FileStamp* expected, int newFileMode) {
    FileIo& io = file_io();
    const std::filesystem::path real = write_target(target);
    struct stat old {};
    const bool existed = ::stat(real.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        return not_regular_failure(target, old);
    }
    if (existed && write_protected(old)) {
        return read_only_failure(target);
    }
    if (expected != nullptr && stamp_of(real) != *expected) {
        return changed_failure(target);
    }
    std::filesystem::path created;
    if (WriteResult staged =
            stage_beside(io, target, real, existed ? &old : nullptr, temporary, bytes, created, newFileMode);
        !staged) {
        return staged;
    }
    // The last look before the replace: another program's records written meanwhile must not be overwritten.
    if (expected != nullptr && stamp_of(real) != *expected) {
        remove_quietly(created);
        return changed_failure(target);
    }
    // Renaming over the old file is atomic: at every moment either the old or the new file is in place.
    if (io.rename(created, real) != 0) {
        const int error = errno;
        remove_quietly(created);
        return failure(target, error);
    }
    if (io.sync_directory(real.parent_path()) != 0) {
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
    // Opening a FIFO for appending waits for a reader that never comes; a device or a folder is no list either.
    if (existed && !S_ISREG(before.st_mode)) {
        return not_regular_failure(target, before);
    }
    if (existed && write_protected(before)) {
        return read_only_failure(target);
    }
    const int fd = io.open_for_write(target, true);
    if (fd < 0) {
        return failure(target, errno);
    }
    struct stat opened {};
    const off_t startSize = ::fstat(fd, &opened) == 0 ? opened.st_size : -1;
    std::size_t written = 0;
    // A failed append takes its own bytes back off, so the file never ends in a partial line and a retry adds no
    // duplicate; but only while they are still the end of the file: never cut off what another writer added after.
    // By name, so that it also works once the descriptor is gone (a failed close).
    auto undo = [&] {
        struct stat now {};
        if (startSize < 0 || ::stat(target.c_str(), &now) != 0 ||
            now.st_size != startSize + static_cast<off_t>(written)) {
            return;
        }
        if (!existed && startSize == 0) {
            remove_quietly(target);
            return;
        }
        int rc;
        do {
            rc = ::truncate(target.c_str(), startSize);
        } while (rc < 0 && errno == EINTR);
    };
    if (!write_all(io, fd, bytes, written) || io.fsync(fd) != 0) {
        const int error = errno;
        undo();
        io.close(fd);
        return failure(target, error);
    }
    if (io.close(fd) != 0) {
        const int error = errno;
        undo();
        return failure(target, error);
    }
    note_own_write(target);
    if (!existed && io.sync_directory(target.parent_path()) != 0) {
        return WriteResult{
            false, "「" + display_name(target) + "」は保存しましたが、ディスクへの書き込みを確認できませんでした。",
            true};
    }
    return {};
}

int open_regular_for_reading(const std::filesystem::path& path, struct stat& info) {
    // Without O_NONBLOCK, opening a FIFO put in place of a data file waits for a writer that never comes.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
        return -1;
    }
    return fd;
}

std::string not_regular_kind(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
        return {};
    }
    if (S_ISDIR(info.st_mode)) {
        return "フォルダ";
    }
    if (S_ISFIFO(info.st_mode)) {
        return "FIFO（名前付きパイプ）";
    }
    if (S_ISSOCK(info.st_mode)) {
        return "ソケット";
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        return "デバイス";
    }
    return "普通のファイル以外のもの";
}

bool read_file(const std::filesystem::path& path, FileBytes& bytes) {
    struct stat info {};
    const int fd = open_regular_for_reading(path, info);
    if (fd < 0) {
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
    struct stat after {};
    if (::fstat(fd, &after) == 0) {
        bytes.stamp = stamp_from(after);
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
