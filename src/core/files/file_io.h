#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace sora {

/// The system calls the writers use. Tests replace it to make the N-th call fail.
class FileIo {
public:
    virtual ~FileIo() = default;
    /// Returns a descriptor, or -1. `append` opens for appending, otherwise truncates.
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
    explicit operator bool() const { return ok; }
};

/// Replaces `target` atomically: writes `bytes` to `temporary`, fsyncs, renames over `target`, syncs the directory.
/// On any failure the old `target` is untouched and the temporary file is removed.
WriteResult replace_file(const std::filesystem::path& target, const std::filesystem::path& temporary,
                         std::string_view bytes);

/// Appends `bytes` to `target` (created when missing) and fsyncs it.
WriteResult append_to_file(const std::filesystem::path& target, std::string_view bytes);

/// Reads a whole file; false when it cannot be opened or read.
bool read_file(const std::filesystem::path& path, std::string& bytes);

/// A whole file in a buffer that is not zeroed before reading (the log is read whole at every view opening).
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

/// Reads a whole file into `bytes`; false when it cannot be opened or read.
bool read_file(const std::filesystem::path& path, FileBytes& bytes);

}  // namespace sora
