#pragma once

#include <optional>
#include <string>

#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/log_backups.h"
#include "core/graph_axis_settings.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// The wizard's boxes as typed.
struct NewStartInput {
    std::string name;       // txtPriData1, may be empty
    std::string systolic;   // txtSincyou1
    std::string diastolic;  // txtMokuTai1
    std::string pulse;      // txtNowTai
    std::string weight;     // txtNowTai2
    std::string situation;  // txtNowJyou
};

/// The boxes in the order the Enter key walks through them.
enum class NewStartBox { Name, Systolic, Diastolic, Pulse, Weight, Situation };

/// Why the wizard refuses to register: a message for the user and the box to correct.
struct NewStartRefusal {
    bool warning = false;  // information icon for a missing box, warning icon for a bad value or text
    std::string title;
    std::string text;
    NewStartBox box = NewStartBox::Systolic;
};

/// What a confirmed new start writes: the name and the start record.
struct NewStartPlan {
    std::string name;
    MeasurementRecord record;
    /// The diary left behind is the installed sample: its notice memo goes with it. The user's own memo stays.
    bool leavingSample = false;
};

/// The plan, or the first refusal: empty boxes first (systolic … situation), then each value must be a number
/// above 0 and below 999, then the name and the situation must be storable (double quotes become "”").
struct NewStartCheck {
    std::optional<NewStartPlan> plan;
    NewStartRefusal refusal;
};

/// Checks the boxes and builds the start record dated `today`, with an empty diary. The value boxes are read through
/// half_width_number.
NewStartCheck check_new_start(const NewStartInput& input, const Date& today);

/// Outcome of the writes of a new start.
struct NewStartResult {
    bool ok = true;
    std::string message;     // names the file that could not be written
    std::string backupName;  // file name of the kept old log; empty when there was no log
    std::string memoName{};  // file name the old memo was moved to; empty when there was no memo
    std::string warning{};   // the automatic copy in "backup/" could not be made
    explicit operator bool() const { return ok; }
};

/// Keeps the old log as a backup file, then writes the name ("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), the log with the start record alone
/// (empty diary written as nothing) and "グラフ設定.txt" with the held values and the automatic flag 1; when the
/// sample is left, it moves "気付きメモ.txt" beside the kept log (kept_memo_name). Stops at the first failure and puts
/// back what it wrote; the log is never replaced unless its backup was written.
NewStartResult perform_new_start(const DataDir& dir, const NewStartPlan& plan, const GraphAxisSettings& held,
                                 const DateTime& now);

/// The name the old memo is kept under beside the kept log: 気付きメモ_yyyymmdd_hhmmss.txt for
/// データ_yyyymmdd_hhmmss.txt.
std::string kept_memo_name(const std::string& keptLogName);

/// The closing message, with one more line naming the backup file and one naming the kept memo when there are.
std::string new_start_closing_message(const std::string& backupName, const std::string& memoName = {});

}  // namespace sora
