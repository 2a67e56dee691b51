#pragma once

#include <filesystem>

#include "core/files/file_io.h"

namespace sora {

/// Remembers what this process itself last put at `path` (after a rename into place or an append), so that a watch
/// on the data folder can tell the program's own writes from another PC's (a sync tool replacing the file).
void note_own_write(const std::filesystem::path& path);

/// True when `stamp` is what this process last wrote at `path`.
bool is_own_write(const std::filesystem::path& path, const FileStamp& stamp);

}  // namespace sora
