// libFuzzer target over the import's readers: any bytes as a CSV or TSV (kind, encoding, separator and columns
// detected) and as an Apple Health XML, then the preview. It must never crash; the counts add up to the rows; a
// row to be written has a date of the calendar and values the entry panel takes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/import/apple_health.h"
#include "core/import/import_file.h"
#include "core/import/import_preview.h"
#include "core/rules/dates.h"

namespace {

void check(const sora::ImportRead& read) {
    sora::ImportChoices choices;
    choices.rules = sora::SituationRules{660, "朝", 1080, "晩", "他"};
    const sora::ImportPreview preview = sora::build_import_preview("fuzz", read, {}, choices);
    const sora::ImportCounts& c = preview.counts;
    if (c.added + c.inDiary + c.questionable + c.unreadable != preview.rows.size()) {
        std::abort();
    }
    for (const sora::ImportPreviewRow& row : preview.rows) {
        const bool values = row.record.systolic >= 0 && row.record.systolic < 999 && row.record.diastolic >= 0 &&
                            row.record.diastolic < 999 && row.record.pulse >= 0 && row.record.pulse < 999;
        if (row.chosen && (!sora::parse_date(row.record.date) || !values)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(sora::read_import_text(bytes, "fuzz.csv").read);
    std::size_t offset = 0;
    check(sora::read_apple_health_xml(
        [&](char* buffer, std::size_t room) -> long long {
            const std::size_t n = std::min(room, bytes.size() - offset);
            std::memcpy(buffer, bytes.data() + offset, n);
            offset += n;
            return static_cast<long long>(n);
        },
        "fuzz.xml"));
    return 0;
}
