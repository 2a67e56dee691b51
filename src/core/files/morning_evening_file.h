#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/side_files.h"
#include "core/rules/morning_evening.h"

namespace sora {

namespace files {
/// Which situations count as morning and evening, and the target of home blood pressure.
inline constexpr std::string_view MorningEvening = "朝晩設定.txt";
}  // namespace files

/// Reads "朝晩設定.txt": `"降圧目標","標準"` (or `"降圧目標","主治医の指示",130,80`) and one `"situation","朝"` line
/// per situation set (朝, 晩 or なし). The age-group line of earlier versions (`"年齢区分","75歳未満"` or
/// "75歳以上") reads as the standard target or the doctor's 135/85; the next write uses the new form. A missing file
/// gives the defaults; a malformed one gives the defaults with ok = false and a message naming the file and line.
SideFileRead<MorningEveningSettings> read_morning_evening(const DataDir& dir);

/// After a situation was renamed throughout the diary: the new name keeps the old one's occasion. Writes the file only
/// when that changes it; a file that does not read is left alone (the settings screen reports it).
WriteResult rename_in_morning_evening(const DataDir& dir, std::string_view from, std::string_view to);

/// The CP932 bytes of "朝晩設定.txt" for the settings; nullopt when a situation has no CP932 form.
std::optional<std::string> encode_morning_evening(const MorningEveningSettings& settings);

/// Replaces "朝晩設定.txt" atomically with the settings.
WriteResult write_morning_evening(const DataDir& dir, const MorningEveningSettings& settings);

}  // namespace sora
