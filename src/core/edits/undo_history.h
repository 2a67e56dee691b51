#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// Outcome of one undo step.
struct UndoResult {
    bool ok = true;
    std::string label;    // what was undone (or was to be)
    std::string message;  // why it was not undone, naming the file
    std::string warning;  // the automatic copy of the log could not be made; the undo went ahead
    /// Set with ok = false when the old contents are in place all the same and only a directory sync failed.
    bool inPlace = false;
    /// Set with ok = false when a file changed after the change was made: the step is dropped, nothing written.
    bool changedOnDisk = false;
    explicit operator bool() const { return ok; }
};

/// The undo steps of the program's life, newest last. The caller brackets each change of the data folder's files:
/// begin() with the files it will rewrite before it, then commit() when the files changed (also when only the
/// directory sync failed) or abandon() when nothing was written. undo() puts the files of the newest step back as
/// they were before it, but only while they still hold what the change left.
class UndoHistory {
public:
    /// Keeps at most `maxSteps` steps, and drops the oldest while the kept bytes exceed `maxBytes` (the newest
    /// step always stays): each step holds whole files, and a log of decades is megabytes.
    explicit UndoHistory(DataDir dir, std::size_t maxSteps = 20, std::size_t maxBytes = 24u << 20);

    /// Keeps the named files of the data folder (UTF-8 names such as files::Log) as they are now, with the label
    /// that names the change (e.g. "2005/02/09 起床後の修正"). A step begun before and not finished is dropped.
    /// False when a file exists but cannot be read: the change may go ahead, it just cannot be undone.
    bool begin(std::string label, const std::vector<std::string_view>& names);
    /// Finishes the begun step: records what the change left in each file and makes the step the newest.
    void commit();
    /// Drops the begun step: the change wrote nothing.
    void abandon();

    bool canUndo() const { return !m_steps.empty(); }
    /// The label of the step undo() would take back; empty when there is none.
    std::string nextLabel() const;
    std::size_t size() const { return m_steps.size(); }

    /// Takes back the newest step under the folder's lock: every file gets its old bytes (a file that did not
    /// exist is removed), all of them or, after a failed write, none (the step stays for another try). When any of
    /// the files no longer holds what the change left, nothing is written and the step is dropped. The log is
    /// copied to "backup/" first, as before every rewrite.
    UndoResult undo();

private:
    struct FileState {
        std::filesystem::path path;
        bool existed = false;
        std::string bytes;  // before the change
        // After the change: enough to tell that nothing else wrote the file since.
        bool existsAfter = false;
        std::size_t sizeAfter = 0;
        std::size_t hashAfter = 0;
    };
    struct Step {
        std::string label;
        std::vector<FileState> files;
    };

    DataDir m_dir;
    std::size_t m_maxSteps;
    std::size_t m_maxBytes;
    std::vector<Step> m_steps;
    std::optional<Step> m_pending;
};

/// The label of an undo step about one record: "2005/02/09 起床後の" + what ("修正", "削除", "保存", …).
std::string record_undo_label(const MeasurementRecord& record, std::string_view what);

}  // namespace sora
