#include "core/import/situation_rules.h"

#include <charconv>

#include "core/files/morning_evening_file.h"
#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"
#include "core/rules/fields.h"

namespace sora {
namespace {

constexpr std::string_view MorningLabel = "朝";
constexpr std::string_view EveningLabel = "晩";
constexpr std::string_view OtherLabel = "その他";

std::string first_with(const std::vector<std::string>& situations, const MorningEveningSettings& settings,
                       Occasion occasion) {
    for (const std::string& situation : situations) {
        if (settings.occasion_of(situation) == occasion) {
            return situation;
        }
    }
    return std::string(ImportSituation);
}

int minutes_of(std::string_view time) {
    const std::size_t colon = time.find(':');
    int hour = 0;
    int minute = 0;
    std::from_chars(time.data(), time.data() + colon, hour);
    std::from_chars(time.data() + colon + 1, time.data() + std::min(time.size(), colon + 3), minute);
    return hour * 60 + minute;
}

}  // namespace

SituationRules default_situation_rules(const std::vector<std::string>& situations,
                                       const MorningEveningSettings& settings) {
    SituationRules rules;
    rules.morning = first_with(situations, settings, Occasion::Morning);
    rules.evening = first_with(situations, settings, Occasion::Evening);
    return rules;
}

const std::string& situation_at(const SituationRules& rules, std::string_view time) {
    if (time.find(':') == std::string_view::npos) {
        return rules.other;
    }
    return situation_at_minute(rules, minutes_of(time));
}

const std::string& situation_at_minute(const SituationRules& rules, int minutes) {
    if (minutes < ImportDayStarts && minutes < rules.eveningFrom) {
        return rules.evening;
    }
    if (minutes < rules.morningUntil) {
        return rules.morning;
    }
    if (minutes >= rules.eveningFrom) {
        return rules.evening;
    }
    return rules.other;
}

std::string minutes_text(int minutes) {
    const int m = minutes % 60;
    return std::to_string(minutes / 60) + (m < 10 ? ":0" : ":") + std::to_string(m);
}

std::optional<int> minutes_from_text(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3) {
        return std::nullopt;
    }
    int hour = -1;
    int minute = -1;
    const auto h = std::from_chars(text.data(), text.data() + colon, hour);
    const auto m = std::from_chars(text.data() + colon + 1, text.data() + text.size(), minute);
    if (h.ptr != text.data() + colon || m.ptr != text.data() + text.size() || hour < 0 || hour > 24 || minute < 0 ||
        minute > 59 || (hour == 24 && minute != 0)) {
        return std::nullopt;
    }
    return hour * 60 + minute;
}

std::string situation_rules_problem(const SituationRules& rules) {
    if (rules.morningUntil > rules.eveningFrom) {
        return "朝の時刻（" + minutes_text(rules.morningUntil) + " より前）が晩の時刻（" +
               minutes_text(rules.eveningFrom) + " から）より後です。";
    }
    for (const std::string* situation : {&rules.morning, &rules.evening, &rules.other}) {
        if (situation->empty()) {
            return "状況を入れてください。";
        }
        if (!cp932_can_hold(*situation) || situation->find_first_of("\"\r\n") != std::string::npos) {
            return "状況「" + *situation + "」には保存できない文字があります。";
        }
    }
    return {};
}

SideFileRead<SituationRules> read_situation_rules(const DataDir& dir, const SituationRules& fallback) {
    SideFileRead<SituationRules> out;
    out.value = fallback;
    const std::filesystem::path path = dir.find(files::ImportRules);
    const std::string name = text_file::name_of(path);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        out.missing = true;
        return out;
    }
    std::string bytes;
    std::string utf8;
    std::vector<std::string_view> lines;
    if (!read_file(path, bytes)) {
        out.ok = false;
        out.message = text_file::unreadable_file_message(name);
        return out;
    }
    if (!text_file::decode_lines(bytes, name, utf8, lines, out.message)) {
        out.ok = false;
        return out;
    }
    SituationRules rules = fallback;
    const auto malformed = [&](std::size_t index, std::string_view reason) {
        out.ok = false;
        out.message = text_file::unreadable_line_message(name, static_cast<long>(index) + 1, reason);
        return out;
    };
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) {
            continue;
        }
        split_fields(lines[i], fields);
        if (fields.size() != 3 || fields[2].empty()) {
            return malformed(i, "項目が3つではありません");
        }
        const std::optional<int> minutes = minutes_from_text(fields[1]);
        if (fields[0] == MorningLabel && minutes) {
            rules.morningUntil = *minutes;
            rules.morning = std::string(fields[2]);
        } else if (fields[0] == EveningLabel && minutes) {
            rules.eveningFrom = *minutes;
            rules.evening = std::string(fields[2]);
        } else if (fields[0] == OtherLabel) {
            rules.other = std::string(fields[2]);
        } else {
            return malformed(i, "朝・晩・その他 と時刻 h:mm の行ではありません");
        }
    }
    if (const std::string problem = situation_rules_problem(rules); !problem.empty()) {
        return malformed(lines.size() - 1, problem);
    }
    out.value = std::move(rules);
    return out;
}

SituationRules import_rules_for(const DataDir& dir, const std::vector<std::string>& situations, std::string& message) {
    const auto settings = read_morning_evening(dir);
    const auto rules = read_situation_rules(dir, default_situation_rules(situations, settings.value));
    message = !rules.ok ? rules.message : !settings.ok ? settings.message : std::string();
    return rules.value;
}

WriteResult write_situation_rules(const DataDir& dir, const SituationRules& rules) {
    const std::string text = quoted(MorningLabel) + "," + quoted(minutes_text(rules.morningUntil)) + "," +
                             quoted(rules.morning) + "\r\n" + quoted(EveningLabel) + "," +
                             quoted(minutes_text(rules.eveningFrom)) + "," + quoted(rules.evening) + "\r\n" +
                             quoted(OtherLabel) + ",\"\"," + quoted(rules.other) + "\r\n";
    const std::filesystem::path target = dir.for_writing(files::ImportRules);
    const std::optional<std::string> bytes = utf8_to_cp932(text);
    if (!bytes) {
        return WriteResult{false, text_file::cannot_hold_message(text_file::name_of(target))};
    }
    const WriterLock lock(dir.path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    return replace_file(target, dir.path() / (std::string(files::ImportRules) + ".tmp"), *bytes);
}

}  // namespace sora
