#include "core/views/measurement_csv.h"

#include "core/rules/classification.h"
#include "core/rules/measured.h"
#include "core/rules/saving_time.h"

namespace sora {
namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view Heading = "日付,時刻,状況,最高血圧,最低血圧,脈拍,体重,判定,一言日記";

std::string iso_date(std::string_view date) {
    std::string text(date);
    for (char& c : text) {
        if (c == '/') {
            c = '-';
        }
    }
    return text;
}

}  // namespace

std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string measurement_csv(const std::vector<MeasurementRecord>& records, const std::vector<std::size_t>& listed) {
    std::string out;
    out.reserve(64 + listed.size() * 80);
    out += ByteOrderMark;
    out += Heading;
    out += "\r\n";
    for (const std::size_t index : listed) {
        const MeasurementRecord& r = records[index];
        const SavingTimeSplit diary = split_saving_time(r.diary);
        const std::string fields[] = {iso_date(r.date),
                                      std::string(diary.time),
                                      r.situation,
                                      measured_text(r.systolic),
                                      measured_text(r.diastolic),
                                      measured_text(r.pulse),
                                      measured_text(r.weight),
                                      has_pressure(r) ? GET_HANTEI(r.systolic, r.diastolic).name : std::string(),
                                      std::string(diary.text)};
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0) {
                out += ',';
            }
            out += csv_field(fields[i]);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace sora
