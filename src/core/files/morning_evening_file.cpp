#include "core/files/morning_evening_file.h"

#include <optional>
#include <string>
#include <vector>

#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"
#include "core/rules/fields.h"
#include "core/rules/numbers.h"

namespace sora {
namespace {

constexpr std::string_view TargetLabel = "降圧目標";
constexpr std::string_view StandardText = "標準";
constexpr std::string_view DoctorText = "主治医の指示";
// Written by earlier versions, which set the target by age group: under 75 is the standard target today, from 75
// keeps the 135/85 that user had.
constexpr std::string_view AgeLabel = "年齢区分";
constexpr std::string_view Under75Text = "75歳未満";
constexpr std::string_view From75Text = "75歳以上";

std::optional<Occasion> occasion_from(std::string_view name) {
    for (const Occasion occasion : {Occasion::Morning, Occasion::Evening, Occasion::Neither}) {
        if (occasion_name(occasion) == name) {
            return occasion;
        }
    }
    return std::nullopt;
}

bool malformed(SideFileRead<MorningEveningSettings>& out, const std::filesystem::path& path, long line,
               std::string_view reason) {
    out.value = MorningEveningSettings{};
    out.ok = false;
    out.message = text_file::unreadable_line_message(text_file::name_of(path), line, reason);
    return false;
}

bool parse(std::string_view text, const std::filesystem::path& path, SideFileRead<MorningEveningSettings>& out) {
    std::string utf8;
    std::vector<std::string_view> lines;
    if (!text_file::decode_lines(text, text_file::name_of(path), utf8, lines, out.message)) {
        out.ok = false;
        return false;
    }
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const long lineNumber = static_cast<long>(i) + 1;
        if (lines[i].find_first_not_of(" \t") == std::string_view::npos) {
            continue;  // a line of blanks or tabs only is a blank line
        }
        split_fields(lines[i], fields);
        if (fields[0] == TargetLabel) {
            if (fields.size() == 2 && fields[1] == StandardText) {
                out.value.target = TargetSetting{};
                continue;
            }
            const std::optional<HomeTarget> doctor = fields.size() == 4 && fields[1] == DoctorText
                                                         ? parse_doctor_target(fields[2], fields[3]).target
                                                         : std::nullopt;
            if (!doctor) {
                return malformed(out, path, lineNumber, "降圧目標は 標準 か 主治医の指示,最高,最低 です");
            }
            out.value.target = TargetSetting{TargetSetting::Choice::Doctor, *doctor};
            continue;
        }
        if (fields.size() != 2) {
            return malformed(out, path, lineNumber, "項目が2つではありません");
        }
        if (fields[0] == AgeLabel) {
            if (fields[1] != Under75Text && fields[1] != From75Text) {
                return malformed(out, path, lineNumber, "年齢区分は 75歳未満 か 75歳以上 です");
            }
            out.value.target = fields[1] == From75Text
                                   ? TargetSetting{TargetSetting::Choice::Doctor, HomeTarget{135, 85}, true}
                                   : TargetSetting{};
            continue;
        }
        const std::optional<Occasion> occasion = occasion_from(fields[1]);
        if (fields[0].empty() || !occasion) {
            return malformed(out, path, lineNumber, "数え方が 朝・晩・対象外（ファイルでは なし）のどれでもありません");
        }
        out.value.set(fields[0], *occasion);
    }
    return true;
}

}  // namespace

SideFileRead<MorningEveningSettings> read_morning_evening(const DataDir& dir) {
    SideFileRead<MorningEveningSettings> out;
    const std::filesystem::path path = dir.find(files::MorningEvening);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        out.missing = true;
        return out;
    }
    std::string bytes;
    if (!read_file(path, bytes)) {
        out.ok = false;
        out.message = text_file::cannot_read_message(path);
        return out;
    }
    parse(bytes, path, out);
    return out;
}

WriteResult rename_in_morning_evening(const DataDir& dir, std::string_view from, std::string_view to) {
    SideFileRead<MorningEveningSettings> read = read_morning_evening(dir);
    if (!read.ok || !read.value.rename(from, to)) {
        return {};
    }
    return write_morning_evening(dir, read.value);
}

std::optional<std::string> encode_morning_evening(const MorningEveningSettings& settings) {
    std::string text = quoted(TargetLabel) + ",";
    if (settings.target.earlierFrom75) {
        // Kept in the old words while the user has not chosen, so the target keeps its name.
        text = quoted(AgeLabel) + "," + quoted(From75Text) + "\r\n";
    } else if (settings.target.choice == TargetSetting::Choice::Doctor) {
        text += quoted(DoctorText) + "," + format_number(settings.target.doctor.systolic) + "," +
                format_number(settings.target.doctor.diastolic) + "\r\n";
    } else {
        text += quoted(StandardText) + "\r\n";
    }
    for (const auto& [situation, occasion] : settings.entries()) {
        text += quoted(situation) + "," + quoted(occasion_name(occasion)) + "\r\n";
    }
    return utf8_to_cp932(text);
}

WriteResult write_morning_evening(const DataDir& dir, const MorningEveningSettings& settings) {
    const std::filesystem::path target = dir.for_writing(files::MorningEvening);
    const std::optional<std::string> bytes = encode_morning_evening(settings);
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(target))};
    }
    const WriterLock lock(dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    return replace_file(target, dir.path() / (std::string(files::MorningEvening) + ".tmp"), *bytes);
}

}  // namespace sora
