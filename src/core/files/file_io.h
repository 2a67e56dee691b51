#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct stat;

namespace sora {

/// The system calls the writers use. Tests replace it to make the N-th call fail.
class FileIo {
public:
    virtual ~FileIo() = default;
    /// Returns a descriptor, or -1 with errno set. `append` opens an existing or new file for appending; otherwise
    /// a new file is created and the call fails (EEXIST) when the name is taken.
    virtual int open_for_write(const std::filesystem::path& path, bool append) = 0;
    /// Returns the number of bytes written, or -1.
    virtual long write(int fd, const char* data, std::size_t size) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    /// Syncs a directory so that a rename in it is durable.
    virtual int sync_directory(const std::filesystem::path& dir) = 0;
};

/// The POSIX implementation the program uses.
FileIo& posix_file_io();

/// The FileIo in force; tests swap it with FileIoOverride.
FileIo& file_io();

/// Puts another FileIo in force for its lifetime.
class FileIoOverride {
public:
    explicit FileIoOverride(FileIo& io);
    ~FileIoOverride();
    FileIoOverride(const FileIoOverride&) = delete;
    FileIoOverride& operator=(const FileIoOverride&) = delete;

private:
    FileIo* m_previous;
};

/// Outcome of a write: ok, or a message for the user naming the file.
struct WriteResult {
    bool ok = true;
    std::string message;
    /// Set with ok = false when the new content is in place all the same and only the directory sync failed:
    /// what the program shows must then follow the file (and a retry must not write it twice).
    bool inPlace = false;
    /// Set with ok = false when the file was not written because another program changed it since it was read.
    bool changedOnDisk = false;
    /// Something beside the write went wrong without stopping it (the copy of the log before a rewrite could not
    /// be made): shown to the user whatever `ok` says.
    std::string warning{};
    explicit operator bool() const { return ok; }
};

/// What a file was when it was read. A rewrite compares it just before replacing the file, so that records another
/// program wrote in between are never overwritten.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file a path names now (following symbolic links).
FileStamp stamp_of(const std::filesystem::path& path);

/// The file a write must change: `path` itself, or the file its symbolic links lead to (which may not exist yet).
std::filesystem::path write_target(const std::filesystem::path& path);

/// Replaces `target` atomically: writes `bytes` to a new temporary file named after `temporary` (a unique name in
/// the folder of the file behind `target`), fsyncs, renames it over that file, syncs the directory. The file keeps
/// its permission bits (and owner where allowed); a symbolic link stays a link. A file without write permission is
/// refused, and so is one that no longer matches `expected` when that is given, and anything but a regular file
/// (a device, a FIFO, a folder). A new file gets `newFileMode` when it is given (else what the umask leaves). On any
/// failure the old file is untouched and the temporary file is removed.
WriteResult replace_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                         std::string_view bytes, const FileStamp* expected = nullptr, int newFileMode = -1);

/// The refusal replace_file would give `target` before writing anything (anything but a regular file, a file
/// without write permission); nullopt when it would go ahead.
std::optional<WriteResult> replace_refusal(const std::filesystem::path& target);

/// A complete new file beside the file it is to replace, not yet in its place.
struct StagedFile {
    std::filesystem::path real;       // the file it replaces: the target itself or the file behind its links
    std::filesystem::path temporary;  // the new file: written, fsynced, closed, with the old file's permissions
};

/// The first half of replace_file: writes `bytes` to a new temporary file named after `temporary` beside the file
/// behind `target`. A file without write permission is refused. On failure nothing is left behind. Putting it in
/// place (rename, directory sync) is the caller's.
WriteResult stage_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                       std::string_view bytes, StagedFile& staged);

/// The message of a write of `target` that failed with `error` (an errno value).
WriteResult write_failure(const std::filesystem::path& target, int error);

/// Appends `bytes` to `target` (created when missing) and fsyncs it. A failed append takes its bytes back off only
/// while nothing was appended after them.
WriteResult append_to_file(const std::filesystem::path& target, std::string_view bytes);

/// The message for a file another program changed since it was read; nothing was written.
std::string changed_on_disk_message(const std::filesystem::path& target);

/// Opens a regular file for reading without ever blocking (a FIFO in place of a data file would hang the opening);
/// anything else is refused with errno EISDIR or ENODEV. Fills `info`; -1 with errno set on failure.
int open_regular_for_reading(const std::filesystem::path& path, struct stat& info);

/// What `path` is when it exists but is not a regular file ("フォルダ", "FIFO（名前付きパイプ）", "デバイス",
/// "ソケット"); empty for a regular file or nothing at all. Never opens it.
std::string not_regular_kind(const std::filesystem::path& path);

/// Reads a whole regular file (never waiting on a FIFO or a device); false when it cannot be opened or read.
bool read_file(const std::filesystem::path& path, std::string& bytes);

/// A whole file in a buffer that is not zeroed before reading (the log is read whole at every view opening).
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    FileStamp stamp;  // the file as the bytes were read
    std::string_view view() const { return {data.get(), size}; }
};

/// Reads a whole file into `bytes`; false when it cannot be opened or read.
bool read_file(const std::filesystem::path& path, FileBytes& bytes);

}  // namespace sora
