#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sora {

/// The files that one operation rewrites one after another, as they were before it: a failure part-way puts every
/// one of them back, so that they change together or not at all.
class FileRollback {
public:
    /// Keeps the file's bytes (or that it does not exist); `temporary` is the name used to write it back.
    /// False when the file exists but cannot be read.
    bool keep(const std::filesystem::path& file, const std::filesystem::path& temporary);

    /// Leaves the file out of the restore: its write was refused because another program changed it, so what is
    /// there now is that program's and must stay.
    void forget(const std::filesystem::path& file);

    /// Puts back every kept file that no longer holds what was kept (removes the ones that did not exist);
    /// true when all of them are as before.
    bool restore() const;

private:
    struct Kept {
        std::filesystem::path file;
        std::filesystem::path temporary;
        bool existed = false;
        std::string bytes;
    };
    std::vector<Kept> m_files;
};

}  // namespace sora
