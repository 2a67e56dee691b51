#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace sora {

/// The one-writer rule of a data folder: an advisory lock (flock) on the folder itself, so no lock file appears
/// among the diary's files and the kernel releases it when the process dies. Every operation that changes the
/// folder's files holds one while it reads, changes and rewrites; the program holds one for its whole life, so a
/// second copy cannot write. Nested locks on one folder in one process share the first.
class WriterLock {
public:
    /// Waits up to `wait` while another process holds the folder.
    explicit WriterLock(const std::filesystem::path& dir,
                        std::chrono::milliseconds wait = std::chrono::milliseconds(10000));
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    bool held() const { return m_held; }
    /// True when another process holds the folder (rather than that it could not be opened).
    bool busy() const { return m_busy; }
    explicit operator bool() const { return m_held; }
    /// Why the lock is not held, for the user.
    const std::string& message() const { return m_message; }

private:
    std::string m_key;
    bool m_held = false;
    bool m_busy = false;
    std::string m_message;
};

/// The message for a folder another copy of the program is writing.
std::string folder_in_use_message(const std::filesystem::path& dir);

/// The message of a second copy of the program started on a folder the first one holds: it does not start at all.
std::string second_copy_message(const std::filesystem::path& dir);

}  // namespace sora
