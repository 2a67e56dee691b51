#pragma once

#include <string>

namespace sora {

/// One measurement, one line of "データ.txt".
struct MeasurementRecord {
    std::string date;       // "yyyy/mm/dd"
    std::string situation;  // 状況
    float systolic = 0;
    float diastolic = 0;
    float pulse = 0;
    std::string diary;  // 一言日記, may be empty
    float weight = 0;

    bool operator==(const MeasurementRecord&) const = default;
};

/// The log line of a record (without CR LF), UTF-8. The start record form writes an empty diary as nothing.
std::string format_record_line(const MeasurementRecord& record, bool startRecordForm = false);

}  // namespace sora
