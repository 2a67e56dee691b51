#include "rename_situation.h"

#include "measurement_log.h"
#include "side_files.h"

namespace sora {

int rename_in_records(std::vector<MeasurementRecord>& records, std::string_view from, std::string_view to) {
    int changed = 0;
    for (MeasurementRecord& record : records) {
        if (record.situation == from) {
            record.situation = to;
            ++changed;
        }
    }
    return changed;
}

int rename_in_list(std::vector<std::string>& items, std::string_view from, std::string_view to) {
    int changed = 0;
    for (std::string& item : items) {
        if (item == from) {
            item = to;
            ++changed;
        }
    }
    return changed;
}

RenameResult rename_situation(const DataDir& dir, const std::string& from, const std::string& to) {
    RenameResult result;
    const MeasurementLog log(dir);
    LogReadResult read = log.read_all();
    if (!read.ok) {
        result.ok = false;
        result.message = read.message;
        return result;
    }
    SideFileRead<std::vector<std::string>> list = read_situations(dir);
    if (!list.ok) {
        result.ok = false;
        result.message = list.message;
        return result;
    }

    result.records = rename_in_records(read.records, from, to);
    if (WriteResult written = log.rewrite_all(read.records, false, files::LogRename); !written) {
        result.ok = false;
        result.message = written.message;
        return result;
    }
    result.logRewritten = true;

    result.entries = rename_in_list(list.value, from, to);
    if (WriteResult written = write_situations_quoted(dir, list.value); !written) {
        result.ok = false;
        result.message = written.message;
    }
    return result;
}

}  // namespace sora
