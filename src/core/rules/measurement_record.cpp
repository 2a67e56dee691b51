#include "core/rules/measurement_record.h"

#include "core/rules/fields.h"
#include "core/rules/numbers.h"

namespace sora {

std::string format_record_line(const MeasurementRecord& record, bool startRecordForm) {
    std::string line;
    line.reserve(64 + record.situation.size() + record.diary.size());
    line += sora::quoted(record.date);
    line += ',';
    line += sora::quoted(record.situation);
    line += ',';
    line += format_number(record.systolic);
    line += ',';
    line += format_number(record.diastolic);
    line += ',';
    line += format_number(record.pulse);
    line += ',';
    // The start record leaves an empty diary out altogether, so that two commas follow each other.
    if (!(startRecordForm && record.diary.empty())) {
        line += sora::quoted(record.diary);
    }
    line += ',';
    line += format_number(record.weight);
    return line;
}

}  // namespace sora
