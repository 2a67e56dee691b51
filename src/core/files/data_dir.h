#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sora {

/// File names of the data directory (UTF-8; the canonical spelling used for writing).
namespace files {
inline constexpr std::string_view Log = "データ.txt";
inline constexpr std::string_view LogCopy = "データコピー.txt";
inline constexpr std::string_view LogRename = "データＣＨＧ.txt";
inline constexpr std::string_view HelpTour = "設定.txt";
inline constexpr std::string_view GraphSettings = "グラフ設定.txt";
inline constexpr std::string_view AutoTime = "自動時間.TXT";
inline constexpr std::string_view Situations = "状況リスト.txt";
inline constexpr std::string_view SituationsRename = "状況リストＣＨＧ.txt";
/// Present only while a rename of a situation is changing the log and the list (see replace_together).
inline constexpr std::string_view RenameJournal = "状況名変更中.txt";
/// The new "朝晩設定.txt" of a rename, before it takes the old one's place.
inline constexpr std::string_view MorningEveningRename = "朝晩設定ＣＨＧ.txt";
/// Present only while an undo is putting back several files together.
inline constexpr std::string_view UndoJournal = "元に戻し中.txt";
/// Present only while an import is changing the log and the situation list together.
inline constexpr std::string_view ImportJournal = "取り込み中.txt";
inline constexpr std::string_view Memo = "気付きメモ.txt";
inline constexpr std::string_view Private = "ﾌﾟﾗｲﾍﾞｰﾄ.txt";
inline constexpr std::string_view Marker = "マーカー.TXT";
inline constexpr std::string_view DailyAverages = "日毎平均.txt";
}  // namespace files

/// The directory that holds the log and the side files.
class DataDir {
public:
    explicit DataDir(std::filesystem::path dir);

    const std::filesystem::path& path() const { return m_dir; }

    /// The existing file of that name whatever the letter case of its name ("設定.TXT" finds "設定.txt");
    /// the canonical path when none exists.
    std::filesystem::path find(std::string_view name) const;

    /// Where a writer puts the file: the existing file's own spelling if one exists, else the canonical name.
    std::filesystem::path for_writing(std::string_view name) const { return find(name); }

private:
    std::filesystem::path m_dir;
};

/// The message for a log that is missing from a folder of the user's own; `why` says what shows it is the user's.
std::string missing_log_message(const std::filesystem::path& logPath, std::string_view why);

/// `$XDG_DATA_HOME/soranote`, or `~/.local/share/soranote`.
std::filesystem::path default_data_dir();

/// Copies every file of the sample diary into `dir` when `dir` holds no log yet. Creates `dir` when needed.
/// Returns false (with a message) when the directory cannot be prepared. When the log is missing from a folder that
/// holds a diary of the user's own (a name or memo other than the sample's, a kept copy of an earlier log) or a
/// link to a log that is not there, nothing is written: true with a message naming the missing file.
bool install_sample_if_needed(const std::filesystem::path& dir, const std::filesystem::path& sampleDir,
                              std::string& message);

}  // namespace sora
