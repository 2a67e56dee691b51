#pragma once

#include <filesystem>
#include <string_view>

#include "core/files/file_io.h"

namespace sora {

/// Writes an export (CSV, PDF bytes) to a file the user chose, outside the data folder: completely to a temporary
/// file beside it, synced, then renamed over it, so that a failure leaves any old file as it was.
WriteResult write_export_file(const std::filesystem::path& target, std::string_view bytes);

}  // namespace sora
