#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/side_files.h"
#include "core/rules/morning_evening.h"

namespace sora {

namespace files {
/// The situation rules of the import, as the user last set them in the preview.
inline constexpr std::string_view ImportRules = "取り込み設定.txt";
}  // namespace files

/// The situation an imported reading gets when no rule gives it one (added to the situation list when used).
inline constexpr std::string_view ImportSituation = "取り込み";

/// Where the night ends and the morning begins (minutes after midnight): a reading at 0:20 before bed is the
/// evening's, though its date stays the one the monitor recorded.
inline constexpr int ImportDayStarts = 4 * 60;

/// Which situation an imported reading gets from its time of day.
struct SituationRules {
    int morningUntil = 11 * 60;  ///< minutes after midnight: a reading from ImportDayStarts until it is the morning's
    std::string morning;
    int eveningFrom = 18 * 60;  ///< a reading from it on, and before ImportDayStarts, is the evening's
    std::string evening;
    std::string other = std::string(ImportSituation);  ///< the rest, and readings without a time
    bool operator==(const SituationRules&) const = default;
};

/// The rules until the user sets them: 4:00–10:59 the first morning situation of the list (by the 朝・晩 setting),
/// 18:00–3:59 the first evening one, 取り込み otherwise and where the list has no such situation.
SituationRules default_situation_rules(const std::vector<std::string>& situations,
                                       const MorningEveningSettings& settings);

/// The situation for a time "h:mm:ss" (empty: no time).
const std::string& situation_at(const SituationRules& rules, std::string_view time);
/// The same for a time given as minutes after midnight.
const std::string& situation_at_minute(const SituationRules& rules, int minutes);

/// "h:mm" for minutes after midnight, and back (nullopt unless "h:mm" or "hh:mm" of a day).
std::string minutes_text(int minutes);
std::optional<int> minutes_from_text(std::string_view text);

/// Why the rules cannot be used ("朝の時刻が晩の時刻より後です。"); empty when they can.
std::string situation_rules_problem(const SituationRules& rules);

/// Reads "取り込み設定.txt" (lines "朝","11:00","situation" / "晩","18:00","situation" / "その他","","situation");
/// a missing file gives `fallback`, a malformed one gives `fallback` with ok = false and the file and line.
SideFileRead<SituationRules> read_situation_rules(const DataDir& dir, const SituationRules& fallback);

/// The rules the preview starts from: the side file's, or the defaults for the situation list and the 朝・晩 setting
/// of the data folder. `message` names the file and line of a side file that did not read (the defaults apply).
SituationRules import_rules_for(const DataDir& dir, const std::vector<std::string>& situations, std::string& message);

/// Replaces "取り込み設定.txt" atomically (CP932, CR LF).
WriteResult write_situation_rules(const DataDir& dir, const SituationRules& rules);

}  // namespace sora
