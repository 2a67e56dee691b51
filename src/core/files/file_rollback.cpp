#include "core/files/file_rollback.h"

#include <system_error>

#include "core/files/file_io.h"

namespace sora {

bool FileRollback::keep(const std::filesystem::path& file, const std::filesystem::path& temporary) {
    Kept kept{file, temporary, false, {}};
    std::error_code error;
    kept.existed = std::filesystem::exists(file, error);
    if (kept.existed && !read_file(file, kept.bytes)) {
        return false;
    }
    m_files.push_back(std::move(kept));
    return true;
}

void FileRollback::forget(const std::filesystem::path& file) {
    std::erase_if(m_files, [&](const Kept& kept) { return kept.file == file; });
}

bool FileRollback::restore() const {
    bool all = true;
    for (auto it = m_files.rbegin(); it != m_files.rend(); ++it) {
        std::error_code error;
        if (!it->existed) {
            std::filesystem::remove(it->file, error);
            all = all && !error;
            continue;
        }
        std::string now;
        if (read_file(it->file, now) && now == it->bytes) {
            continue;  // never written, or written back already
        }
        all = replace_file(it->file, it->temporary, it->bytes).ok && all;
    }
    return all;
}

}  // namespace sora
