#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_io.h"

namespace sora {

/// Why an export cannot go to `target`, in the user's words, or nullopt when it can: the name is a folder, names
/// something other than a regular file (a device, a FIFO, a socket; also behind a link), or its folder is missing or
/// no folder. Only a regular file (or a link to one) is ever replaced by an export.
std::optional<std::string> export_target_problem(const std::filesystem::path& target);

/// Writes an export (CSV, PDF bytes) to a file the user chose, outside the data folder: completely to a temporary
/// file beside it, synced, then renamed over it, so that a failure leaves any old file as it was. A target that
/// export_target_problem refuses is not touched, and the message says why.
WriteResult write_export_file(const std::filesystem::path& target, std::string_view bytes);

}  // namespace sora
