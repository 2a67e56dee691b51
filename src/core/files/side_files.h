#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/graph_axis_settings.h"

namespace sora {

/// Outcome of reading a side file. A missing file is not an error: `missing` is set and the fallback applies.
template <typename T>
struct SideFileRead {
    T value{};
    bool ok = true;
    bool missing = false;
    std::string message;  // names the file and line when ok is false
};

// Readers. A missing file gives its fallback; a malformed one gives ok = false with the fallback value.
SideFileRead<int> read_help_tour_setting(const DataDir& dir);             // "設定.txt": 1 on, 0 off; fallback 0
SideFileRead<GraphAxisSettings> read_graph_settings(const DataDir& dir);  // "グラフ設定.txt"; fallback automatic
SideFileRead<bool> read_auto_time(const DataDir& dir);                    // "自動時間.TXT"; fallback off
SideFileRead<std::vector<std::string>> read_situations(const DataDir& dir);  // "状況リスト.txt"; fallback empty
/// A file of the situation list's form under another name (a sync tool's conflict copy of the list).
SideFileRead<std::vector<std::string>> read_situations_file(const DataDir& dir, std::string_view name);
SideFileRead<std::string> read_memo(const DataDir& dir);       // "気付きメモ.txt", lines joined by CR LF
SideFileRead<std::string> read_user_name(const DataDir& dir);  // "ﾌﾟﾗｲﾍﾞｰﾄ.txt"; fallback empty
SideFileRead<int> read_marker_mode(const DataDir& dir);        // "マーカー.TXT"; fallback 0

// Writers. Each replaces its file atomically, except the appends.
WriteResult write_help_tour_setting(const DataDir& dir, int flag);
WriteResult write_graph_settings(const DataDir& dir, const GraphAxisSettings& settings);
WriteResult write_auto_time(const DataDir& dir, bool on);
/// The situation editor's form: one plain line per item (quoted when the item holds a comma, so it stays one).
/// With `shown`, the items the screen showed before the change (in any order): when the file holds others by now,
/// added or removed by another program, nothing is written.
WriteResult write_situations_plain(const DataDir& dir, const std::vector<std::string>& items,
                                   const std::vector<std::string>* shown = nullptr);
/// The renaming's form: every line quoted, through "状況リストＣＨＧ.txt".
WriteResult write_situations_quoted(const DataDir& dir, const std::vector<std::string>& items);
/// The CP932 bytes of that form; nullopt when an item has no CP932 form.
std::optional<std::string> encode_situations_quoted(const std::vector<std::string>& items);
/// The list's bytes `listBytes` (CP932, as read) with `items` appended as append_situation(…, false) appends them;
/// nullopt when an item has no CP932 form.
std::optional<std::string> situations_with_appended(std::string_view listBytes, const std::vector<std::string>& items);
/// Appends one item: quoted (free input) or plain (editor; quoted anyway when it holds a comma).
WriteResult append_situation(const DataDir& dir, const std::string& item, bool quotedLine);
WriteResult write_memo(const DataDir& dir, const std::string& memo);
WriteResult write_user_name(const DataDir& dir, const std::string& name);  // SAVE_PRIVATE
WriteResult write_marker_mode(const DataDir& dir, int mode);

/// The window title for a user name: " name の ソラノート＋" at start-up, " ソラノート＋" when empty.
std::string window_title_for(const std::string& name, bool afterSave = false);

}  // namespace sora
