#include "shell/conflict_resolver.h"

#include <QDialog>
#include <QTimer>

#include "common/render.h"
#include "core/edits/conflict_merge.h"
#include "import/diary_import.h"
#include "import/import_window.h"
#include "shell/side_file_choice.h"
#include "ui/dialogs.h"

namespace {

const QString Title = QStringLiteral("同期の競合");

std::vector<std::string> items_of(const QStringList& list) {
    std::vector<std::string> items;
    for (const QString& item : list) {
        items.push_back(ss(item));
    }
    return items;
}

}  // namespace

ConflictResolver::ConflictResolver(ScreenContext context, QWidget* window, std::function<void()> sideFilesChanged)
    : QObject(window), m_ctx(context), m_window(window), m_sideFilesChanged(std::move(sideFilesChanged)) {}

void ConflictResolver::offer() {
    if (busy()) {
        return;
    }
    const std::vector<sora::ConflictCopy> copies = sora::find_conflict_copies(m_ctx.dir);
    if (copies.empty()) {
        return;
    }
    const sora::SharedLog log = m_ctx.log.read();
    QString list;
    for (const sora::ConflictCopy& copy : copies) {
        list += QString("・%1（%2 のコピー").arg(qs(copy.name), qs(copy.original));
        if (copy.original == sora::files::Log && log.ok) {
            const auto missing = sora::readings_missing(sora::compare_log_copy(m_ctx.dir, copy.name, *log.records));
            list += QString("、日記にない測定 %1 件").arg(missing.size());
        }
        list += "）\r\n";
    }
    const ui::Answer answer = m_ctx.host.dialogs().message(
        ui::Icon::Question, Title,
        "ほかのパソコンと同じファイルを別々に変更したため、同期ツールが次のコピーを残しました。\r\n\r\n" + list +
            "\r\n統合しますか？\r\n"
            "「はい」: 記録は日記にない測定を取り込みの下見で確かめて加え、状況リストは両方の項目を合わせ、"
            "ほかのファイルは残すほうを選びます。\r\n"
            "「いいえ」: 統合せずにコピーを backup フォルダに移します。\r\n"
            "「キャンセル」: 今はそのままにします（次の起動時にまたお知らせします）。",
        ui::Buttons::YesNoCancel);
    if (answer == ui::Answer::Cancel) {
        return;
    }
    if (answer == ui::Answer::No) {
        for (const sora::ConflictCopy& copy : copies) {
            setAside(copy);
        }
        return;
    }
    m_queue.assign(copies.begin(), copies.end());
    next();
}

void ConflictResolver::next() {
    while (!m_queue.empty() && !m_waiting) {
        const sora::ConflictCopy copy = m_queue.front();
        m_queue.pop_front();
        if (copy.original == sora::files::Log) {
            mergeLog(copy);
        } else if (copy.original == sora::files::Situations) {
            const sora::ConflictStep step =
                sora::merge_situations_copy(m_ctx.dir, copy, items_of(m_ctx.host.situationItems()));
            report(step);
            m_ctx.host.showChangedDiary(true);
        } else {
            chooseSideFile(copy);
        }
    }
}

void ConflictResolver::mergeLog(const sora::ConflictCopy& copy) {
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, Title, qs(log.message));
        return;
    }
    const sora::ImportPreview preview = sora::compare_log_copy(m_ctx.dir, copy.name, *log.records);
    if (!preview.message.empty()) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, Title, qs(preview.message));
        return;  // kept where it is: nothing of it is in the diary
    }
    if (sora::readings_missing(preview).empty()) {
        setAside(copy);  // every reading of it is in the diary already
        return;
    }
    if (m_import == nullptr) {
        m_import = new DiaryImport(m_ctx, m_window);
    }
    if (!m_import->open(m_ctx.dir.path() / copy.name)) {
        return;
    }
    m_waiting = true;
    connect(m_import->window(), &QDialog::finished, this, [this, copy](int result) {
        // After the import has told its outcome: the copy goes only once its readings are in.
        QTimer::singleShot(0, this, [this, copy, result] {
            if (result == QDialog::Accepted) {
                setAside(copy);
            }
            continueLater();
        });
    });
}

void ConflictResolver::chooseSideFile(const sora::ConflictCopy& copy) {
    m_choice = new SideFileChoice(qs(copy.original), qs(sora::data_file_text(m_ctx.dir, copy.original)), qs(copy.name),
                                  qs(sora::data_file_text(m_ctx.dir, copy.name)), m_window);
    m_choice->setAttribute(Qt::WA_DeleteOnClose);
    m_waiting = true;
    connect(m_choice, &QDialog::finished, this, [this, copy](int result) {
        const bool keepCopy = m_choice != nullptr && m_choice->keepCopy();
        QTimer::singleShot(0, this, [this, copy, result, keepCopy] {
            if (result == QDialog::Accepted) {
                if (keepCopy) {
                    report(sora::keep_conflict_copy(m_ctx.dir, copy));
                    m_sideFilesChanged();
                } else {
                    setAside(copy);
                }
            }
            continueLater();
        });
    });
    m_choice->setWindowModality(Qt::WindowModal);
    m_choice->open();
}

void ConflictResolver::setAside(const sora::ConflictCopy& copy) {
    report(sora::set_aside_conflict_copy(m_ctx.dir, copy.name));
}

void ConflictResolver::report(const sora::ConflictStep& step) {
    if (!step.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, Title, qs(step.message));
    }
}

void ConflictResolver::continueLater() {
    m_waiting = false;
    next();
}
