#include "core/edits/record_edit.h"

#include <string_view>
#include <utility>
#include <vector>

#include "core/files/storable_text.h"
#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"
#include "core/rules/dates.h"
#include "core/rules/numbers.h"

namespace sora {
namespace {

RecordCheck refuse(EntryMessage message, RecordBox box) {
    RecordCheck check;
    check.refusal = std::move(message);
    check.box = box;
    return check;
}

/// The log as the lines of its records (each with its own line end, the last one perhaps without) and what
/// follows them (blank lines).
struct RecordLines {
    std::vector<std::string_view> lines;
    std::string_view tail;
};

RecordLines split_record_lines(std::string_view bytes, std::size_t count) {
    RecordLines split;
    split.lines.reserve(count);
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t lf = bytes.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
        split.lines.push_back(bytes.substr(start, end - start));
        start = end;
    }
    split.tail = bytes.substr(start);
    return split;
}

/// The lines in their new order; a line that no longer ends the file gets the line end it lacked.
std::string join_lines(const std::vector<std::string_view>& lines, std::string_view tail) {
    std::size_t size = tail.size() + 2;
    for (const std::string_view line : lines) {
        size += line.size();
    }
    std::string bytes;
    bytes.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bytes += lines[i];
        if (!lines[i].ends_with('\n') && (i + 1 < lines.size() || !tail.empty())) {
            bytes += "\r\n";
        }
    }
    bytes += tail;
    return bytes;
}

/// The log under the lock, as it must still be: the file the screen read.
struct CurrentLog {
    WriteResult refusal;
    FileBytes bytes;
    std::vector<MeasurementRecord> records;
};

bool read_current(const MeasurementLog& log, const FileStamp& readAs, std::size_t index, CurrentLog& current) {
    const std::filesystem::path path = log.dir().find(files::Log);
    if (!read_file(path, current.bytes)) {
        current.refusal = WriteResult{false, text_file::unreadable_file_message(text_file::name_of(path))};
        return false;
    }
    if (current.bytes.stamp != readAs) {
        current.refusal = WriteResult{false, changed_on_disk_message(path)};
        current.refusal.changedOnDisk = true;
        return false;
    }
    LogReadResult parsed = parse_log(current.bytes.view(), text_file::name_of(path));
    if (!parsed.ok) {
        current.refusal = WriteResult{false, parsed.message};
        return false;
    }
    if (index >= parsed.records.size()) {
        // The screen's rows come from this very file: an index past its end is a screen out of step with it.
        current.refusal = WriteResult{false, changed_on_disk_message(path)};
        current.refusal.changedOnDisk = true;
        return false;
    }
    current.records = std::move(parsed.records);
    return true;
}

/// A record that a log line can hold as it is: a date of the log's form, texts without quotes or line breaks.
bool writable(const MeasurementRecord& record) {
    const std::optional<Date> date = parse_date(record.date);
    return date && format_date(*date) == record.date && storable_text(record.situation) == record.situation &&
           storable_text(record.diary) == record.diary;
}

}  // namespace

RecordCheck check_record_input(bool sampleMode, const RecordInput& input) {
    if (sampleMode) {
        return refuse(sample_diary_message(), RecordBox::None);
    }
    if (input.date.empty()) {
        return refuse({"日付未入力", "日付が入力されていません"}, RecordBox::Date);
    }
    const std::optional<Date> date = parse_date(input.date);
    if (!date) {
        return refuse({"日付入力", "日付は 2005/02/09 のように 年/月/日 で入力してください"}, RecordBox::Date);
    }
    if (std::optional<EntryMessage> refusal = check_entry(false, input.situation, input.values, input.notMeasured)) {
        const int box = refused_box(false, input.situation, input.values, input.notMeasured);
        return refuse(std::move(*refusal), box < 0
                                               ? RecordBox::Situation
                                               : static_cast<RecordBox>(static_cast<int>(RecordBox::Systolic) + box));
    }
    const std::optional<std::string> situation = storable_text(input.situation);
    if (!situation) {
        return refuse(unstorable_text_message(), RecordBox::Situation);
    }
    const std::optional<std::string> diary = storable_text(input.diary);
    if (!diary) {
        return refuse(unstorable_text_message(), RecordBox::Diary);
    }
    RecordCheck check;
    check.record = form_record(format_date(*date), *situation, input.values, *diary);
    return check;
}

RecordEditResult replace_record(const MeasurementLog& log, std::size_t index, const MeasurementRecord& record,
                                const FileStamp& readAs) {
    RecordEditResult result;
    const std::string fileName = text_file::name_of(log.dir().find(files::Log));
    if (!writable(record)) {
        result.written = WriteResult{false, text_file::cannot_hold_message(fileName)};
        return result;
    }
    const WriterLock lock(log.dir().path());
    if (!lock) {
        result.written = WriteResult{false, lock.message()};
        return result;
    }
    CurrentLog current;
    if (!read_current(log, readAs, index, current)) {
        result.written = current.refusal;
        return result;
    }
    const std::vector<MeasurementRecord>& records = current.records;
    RecordLines split = split_record_lines(current.bytes.view(), records.size());

    // An unchanged date keeps the record where it stands; a new one puts it before the first later date among
    // the others, so after the records already on that date, as a save does.
    std::size_t target = index;
    if (record.date != records[index].date) {
        target = 0;
        for (std::size_t i = 0; i < records.size() && (i == index || records[i].date <= record.date); ++i) {
            target += i == index ? 0 : 1;
        }
    }
    const std::optional<std::string> line = utf8_to_cp932(format_record_line(record, target == 0) + "\r\n");
    if (!line) {
        result.written = WriteResult{false, text_file::cannot_hold_message(fileName)};
        return result;
    }
    result.index = target;
    if (target == index && *line == split.lines[index]) {
        result.changed = false;
        return result;
    }
    split.lines.erase(split.lines.begin() + static_cast<std::ptrdiff_t>(index));
    split.lines.insert(split.lines.begin() + static_cast<std::ptrdiff_t>(target), *line);
    result.written = log.rewrite_bytes(join_lines(split.lines, split.tail), files::LogCopy, &current.bytes.stamp,
                                       BackupReason::Correction);
    return result;
}

WriteResult remove_record(const MeasurementLog& log, std::size_t index, const FileStamp& readAs) {
    const WriterLock lock(log.dir().path());
    if (!lock) {
        return WriteResult{false, lock.message()};
    }
    CurrentLog current;
    if (!read_current(log, readAs, index, current)) {
        return current.refusal;
    }
    if (current.records.size() == 1) {
        return WriteResult{false, only_record_message()};
    }
    RecordLines split = split_record_lines(current.bytes.view(), current.records.size());
    split.lines.erase(split.lines.begin() + static_cast<std::ptrdiff_t>(index));
    return log.rewrite_bytes(join_lines(split.lines, split.tail), files::LogCopy, &current.bytes.stamp,
                             BackupReason::Deletion);
}

std::string record_description(const MeasurementRecord& record) {
    std::string text = record.date + "　" + record.situation + "\r\n最高血圧 " + format_number(record.systolic) +
                       "　最低血圧 " + format_number(record.diastolic) + "　脈拍 " + format_number(record.pulse) +
                       "　体重 " + format_number(record.weight);
    if (!record.diary.empty()) {
        text += "\r\n一言日記：" + record.diary;
    }
    return text;
}

std::string only_record_message() {
    return "日記の最初の記録だけが残っているため、削除できません。\r\n"
           "内容を直すときは修正を、日記を始め直すときは 編集 → 新規にスタートするとき を使ってください。";
}

}  // namespace sora
