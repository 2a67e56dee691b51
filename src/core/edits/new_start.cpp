#include "core/edits/new_start.h"

#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/files/file_io.h"
#include "core/files/file_rollback.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/files/storable_text.h"
#include "core/files/text_file.h"
#include "core/files/writer_lock.h"
#include "core/rules/numbers.h"

namespace sora {

namespace {

struct ValueBox {
    const std::string* text;
    NewStartBox box;
    const char* emptyTitle;
    const char* emptyText;
};

NewStartCheck refuse(bool warning, std::string title, std::string text, NewStartBox box) {
    NewStartCheck check;
    check.refusal = {warning, std::move(title), std::move(text), box};
    return check;
}

/// The saving checks of the entry panel: a number, above 0, below 999 (as a 32-bit float).
std::optional<NewStartCheck> refuse_value(const std::string& text, NewStartBox box) {
    const std::optional<double> value = number_value(half_width_number(text));
    if (!value) {
        return refuse(true, "数値以外入力", "数値を入力してください", box);
    }
    const float single = static_cast<float>(*value);
    if (single <= 0) {
        return refuse(true, "異常入力", "０以下が入力されています", box);
    }
    if (single >= 999) {
        return refuse(true, "入力制限", "９９９以上は入力できません", box);
    }
    return std::nullopt;
}

/// Renames the memo to its kept name: one step, so it is either still the diary's memo or only the kept one. A move
/// that cannot be made lasting (the folder's sync failed) is put back, so that the new start is taken back whole.
WriteResult move_memo(const std::filesystem::path& folder, const std::filesystem::path& memo,
                      const std::filesystem::path& kept) {
    if (file_io().rename(memo, kept) != 0) {
        return write_failure(memo, errno);
    }
    if (file_io().sync_directory(folder) != 0) {
        WriteResult failed = write_failure(memo, errno);
        if (file_io().rename(kept, memo) != 0) {
            failed.message += "\r\n気付きメモは「" + text_file::name_of(kept) + "」にあります。";
        }
        return failed;
    }
    return {};
}

}  // namespace

std::string kept_memo_name(const std::string& keptLogName) {
    const std::string log = "データ";
    return "気付きメモ" + (keptLogName.rfind(log, 0) == 0 ? keptLogName.substr(log.size()) : "_" + keptLogName);
}

NewStartCheck check_new_start(const NewStartInput& input, const Date& today) {
    const std::array<ValueBox, 5> required = {{
        {&input.systolic, NewStartBox::Systolic, "最高血圧未入力", "最高血圧が入力されていません"},
        {&input.diastolic, NewStartBox::Diastolic, "最低血圧未入力", "最低血圧が入力されていません"},
        {&input.pulse, NewStartBox::Pulse, "脈拍未入力", "現在の脈拍が入力されていません"},
        {&input.weight, NewStartBox::Weight, "体重未入力", "現在の体重が入力されていません"},
        {&input.situation, NewStartBox::Situation, "初回状況（コメント）未入力", "初回の状況が入力されていません"},
    }};
    for (const ValueBox& box : required) {
        if (box.text->empty()) {
            return refuse(false, box.emptyTitle, box.emptyText, box.box);
        }
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (auto refusal = refuse_value(*required[i].text, required[i].box)) {
            return *refusal;
        }
    }
    const std::optional<std::string> name = storable_text(input.name);
    if (!name) {
        return refuse(true, "使用できない文字", "名前に保存できない文字（絵文字など）が含まれています。",
                      NewStartBox::Name);
    }
    const std::optional<std::string> situation = storable_text(input.situation);
    if (!situation) {
        return refuse(true, "使用できない文字", "初期状況に保存できない文字（絵文字など）が含まれています。",
                      NewStartBox::Situation);
    }

    NewStartCheck check;
    NewStartPlan plan;
    plan.name = *name;
    plan.record.date = format_date(today);
    plan.record.situation = *situation;
    plan.record.systolic = static_cast<float>(leading_number(half_width_number(input.systolic)));
    plan.record.diastolic = static_cast<float>(leading_number(half_width_number(input.diastolic)));
    plan.record.pulse = static_cast<float>(leading_number(half_width_number(input.pulse)));
    plan.record.weight = static_cast<float>(leading_number(half_width_number(input.weight)));
    check.plan = std::move(plan);
    return check;
}

NewStartResult perform_new_start(const DataDir& dir, const NewStartPlan& plan, const GraphAxisSettings& held,
                                 const DateTime& now) {
    NewStartResult result;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.message = std::move(message);
        result.backupName.clear();
        return result;
    };

    const WriterLock lock(dir.path());
    if (!lock) {
        return fail(lock.message());
    }
    const std::filesystem::path logPath = dir.find(files::Log);
    std::error_code error;
    FileStamp copied;
    // The sample's memo belongs to the sample: it moves out under the kept log's date and time. The user's own memo
    // is theirs whatever diary they keep, and stays.
    const std::string keptName = unused_backup_name(dir.path(), now);
    const std::filesystem::path memoPath = dir.find(files::Memo);
    const bool hasMemo = plan.leavingSample && std::filesystem::exists(memoPath, error);
    const std::filesystem::path keptMemo = dir.path() / std::filesystem::u8path(kept_memo_name(keptName));
    if (hasMemo && std::filesystem::exists(keptMemo, error)) {
        return fail("「" + text_file::name_of(keptMemo) + "」がすでにあるため、気付きメモを残せません。");
    }
    if (std::filesystem::exists(logPath, error)) {
        FileBytes file;
        if (!read_file(logPath, file)) {
            return fail(std::string(files::Log) + " を読めないため、バックアップを作れません。");
        }
        const std::string bytes(file.view());
        copied = file.stamp;
        const std::string& name = keptName;
        if (WriteResult written = replace_file(dir.path() / name, dir.path() / std::string(files::LogCopy), bytes);
            !written) {
            return fail(written.message);
        }
        result.backupName = name;
    }

    // The name, the log and the settings change together or not at all; the backup above stays either way.
    FileRollback rollback;
    const std::filesystem::path namePath = dir.for_writing(files::Private);
    const std::filesystem::path graphPath = dir.for_writing(files::GraphSettings);
    const std::pair<std::filesystem::path, std::string> kept[] = {
        {namePath, std::string(files::Private) + ".tmp"},
        {logPath, std::string(files::LogCopy)},
        {graphPath, std::string(files::GraphSettings) + ".tmp"}};
    for (const auto& [file, temporary] : kept) {
        if (!rollback.keep(file, dir.path() / temporary)) {
            return fail(text_file::unreadable_file_message(text_file::name_of(file)));
        }
    }
    GraphAxisSettings automatic = held;
    automatic.autoScale = 1;
    std::filesystem::path failed = namePath;
    WriteResult written = write_user_name(dir, plan.name);
    if (written) {
        failed = logPath;
        // Only the log that went into the copy may be replaced: a record written after the copy would be lost.
        written =
            MeasurementLog(dir).rewrite_all({plan.record}, true, files::LogCopy, copied.exists ? &copied : nullptr);
    }
    result.warning = written.warning;
    if (written) {
        failed = graphPath;
        written = write_graph_settings(dir, automatic);
    }
    if (written && hasMemo) {
        failed = memoPath;
        written = move_memo(dir.path(), memoPath, keptMemo);
        result.memoName = written ? text_file::name_of(keptMemo) : std::string();
    }
    if (written) {
        return result;
    }
    if (written.changedOnDisk) {
        rollback.forget(failed);
    }
    if (!rollback.restore()) {
        return fail(written.message + "\r\n元に戻せなかったファイルがあります。内容を確かめてください。");
    }
    if (written.changedOnDisk) {
        return fail(written.message);
    }
    return fail("「" + text_file::name_of(failed) + "」を保存できませんでした。これまでのデータはそのままです。");
}

std::string new_start_closing_message(const std::string& backupName, const std::string& memoName) {
    std::string text =
        "登録が終了しました。\r\n\r\n一旦プログラムを終了させていただきます。次の起動からソラノート＋のスタートです！";
    if (!backupName.empty()) {
        text += "\r\nこれまでのデータは「" + backupName + "」として残してあります。";
    }
    if (!memoName.empty()) {
        text += "\r\nこれまでの気付きメモは「" + memoName + "」として残してあります。";
    }
    return text;
}

}  // namespace sora
