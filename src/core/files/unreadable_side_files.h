#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/file_io.h"

namespace sora {

/// What a screen must do before writing a side file: nothing, or ask the question (Yes: keep a copy of the old
/// bytes under `copyName`, then save; No: save without a copy; Cancel: do not save).
struct OverwriteCheck {
    bool ask = false;
    std::string title;
    std::string question;
    std::string copyName;  // a name not taken yet in the data folder
};

/// The side files that could not be read at start-up. The screens showed a fallback for them, so the first save
/// would replace bytes the user never saw: before it, the user is asked whether to keep them.
class UnreadableSideFiles {
public:
    /// Notes the side file `name` (one of `files`) as unreadable at start.
    void add(std::string_view name);
    /// True when `name` was unreadable at start and no save of it has been agreed to yet.
    bool contains(std::string_view name) const;

    /// Whether to ask before writing `name` now; the copy would be named after `now`. A file that is gone since
    /// holds nothing to lose.
    OverwriteCheck before_write(const DataDir& dir, std::string_view name, const DateTime& now) const;

    /// The user chose to save `name`: keeps its present bytes unchanged under `copyName` first when `keepCopy`.
    /// Once this succeeds, later saves of `name` do not ask again. A failed copy leaves the question open and
    /// returns the message: the file must then not be written.
    WriteResult agree(const DataDir& dir, std::string_view name, bool keepCopy, const std::string& copyName);

private:
    std::vector<std::string> m_names;
};

/// "気付きメモ_読めなかった内容_yyyymmdd_hhmmss.txt" for "気付きメモ.txt": the name under which the old bytes of a
/// file are kept (its own extension, whatever its case).
std::string unreadable_copy_name(std::string_view fileName, const DateTime& now);

/// Writes the bytes of the file `name` unchanged into a new file `copyName` beside it (replaced atomically, never
/// over an existing file). Fails with a message when the file cannot be read or the copy cannot be written.
WriteResult keep_unreadable_copy(const DataDir& dir, std::string_view name, const std::string& copyName);

}  // namespace sora
