#include "import/diary_import.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <atomic>

#include "common/diary_changes.h"
#include "common/render.h"
#include "core/import/import_write.h"
#include "core/import/situation_rules.h"
#include "core/rules/entry_rules.h"
#include "import/import_window.h"
#include "ui/dialogs.h"
#include "ui/screen_host.h"

namespace {

const QString Title = QStringLiteral("ファイルから取り込み");

std::vector<std::string> situation_list(const ui::ScreenHost& host) {
    std::vector<std::string> list;
    for (const QString& item : host.situationItems()) {
        list.push_back(ss(item));
    }
    return list;
}

/// Lets through only the input meant for the busy box: its キャンセル and Escape work, while the window behind
/// it takes no clicks or keys until the reading ends (also in the moment before the box shows).
class BusyBoxInput : public QObject {
public:
    explicit BusyBoxInput(QWidget* box) : m_box(box) { qApp->installEventFilter(this); }
    ~BusyBoxInput() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (!is_user_input(event->type())) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(target);
        return widget == nullptr || (widget != m_box && !m_box->isAncestorOf(widget));
    }

private:
    static bool is_user_input(QEvent::Type type) {
        switch (type) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::ShortcutOverride:
            case QEvent::Close:  // the window behind would go while its reading still runs
                return true;
            default:
                return false;
        }
    }
    QWidget* m_box;
};

/// Reads the file on a worker thread: an Apple Health export of hundreds of MB takes seconds, and the window keeps
/// drawing meanwhile (a busy box with キャンセル shows when it takes longer than a moment). `cancelled` tells
/// whether the user stopped it.
sora::ImportFile read_in_background(const std::filesystem::path& path, const sora::ImportOptions& options,
                                    QWidget* parent, bool& cancelled) {
    sora::ImportFile file;
    std::atomic<bool> stop = false;
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&] { file = sora::read_import_file(path, options, &stop); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QProgressDialog progress("ファイルを読んでいます…", "キャンセル", 0, 0, parent);
    progress.setObjectName("prgImportRead");
    progress.setWindowTitle(Title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumDuration(400);
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] { stop = true; });
    progress.setValue(0);
    const BusyBoxInput onlyTheBox(&progress);
    thread->start();
    loop.exec();
    thread->wait();
    cancelled = stop.load();
    return file;
}

}  // namespace

DiaryImport::DiaryImport(ScreenContext context, QWidget* window) : QObject(window), m_ctx(context), m_window(window) {}

void DiaryImport::start() {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    if (m_ctx.state.sampleMode) {
        // The sample diary is never changed: the entry panel's refusal says why.
        const sora::EntryMessage refusal = sora::sample_diary_message();
        dialogs.message(ui::Icon::Warning, qs(refusal.title), qs(refusal.text));
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::optional<QString> path =
        dialogs.openFileName(Title, QDir(folder).exists() ? folder : QDir::homePath(),
                             "取り込めるファイル (*.csv *.CSV *.tsv *.txt *.xml *.zip);;すべてのファイル (*)");
    if (path) {
        open(std::filesystem::path(path->toStdString()));
    }
}

bool DiaryImport::open(const std::filesystem::path& path) {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    m_log = m_ctx.log.read();
    if (!m_log.ok) {
        dialogs.message(ui::Icon::Warning, Title, qs(m_log.message));
        return false;
    }
    m_path = path;
    bool cancelled = false;
    m_file = read_in_background(path, {}, m_window, cancelled);
    if (cancelled) {
        return false;  // the user's own choice: nothing to say
    }
    // A file with nothing to map or preview is said in a message; a CSV whose columns need naming opens the window.
    if (!m_file.read.message.empty() && m_file.read.kind != sora::ImportKind::Generic) {
        dialogs.message(ui::Icon::Warning, Title, qs(m_file.read.message));
        return false;
    }
    const std::vector<std::string> situations = situation_list(m_ctx.host);
    std::string rulesMessage;
    m_savedRules = sora::import_rules_for(m_ctx.dir, situations, rulesMessage);
    if (!rulesMessage.empty()) {
        dialogs.message(ui::Icon::Warning, Title, qs(rulesMessage + "\r\n既定の決め方を使います。"));
    }

    if (m_preview) {
        m_preview->close();
    }
    m_preview = new ImportWindow(m_ctx.host.situationItems(), m_window);
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    m_preview->showRules(m_savedRules);
    connect(m_preview, &ImportWindow::choicesChanged, this, &DiaryImport::classify);
    connect(m_preview, &ImportWindow::readOptionsChanged, this, &DiaryImport::readFile);
    connect(m_preview, &ImportWindow::importRequested, this, &DiaryImport::write);
    m_preview->showFile(m_file);
    classify();
    m_preview->setWindowModality(Qt::WindowModal);
    m_preview->open();
    return true;
}

void DiaryImport::readFile() {
    if (!m_preview) {
        return;
    }
    bool cancelled = false;
    sora::ImportFile file = read_in_background(m_path, m_preview->readOptions(), m_preview, cancelled);
    if (cancelled) {
        return;  // the file as read before stays in the window
    }
    m_file = std::move(file);
    m_preview->showFile(m_file);
    classify();
}

void DiaryImport::classify() {
    if (!m_preview) {
        return;
    }
    const std::optional<sora::SituationRules> rules = m_preview->rules();
    if (!rules) {
        return;
    }
    sora::ImportChoices choices;
    choices.rules = *rules;
    choices.wholeFile = m_preview->wholeFileSituation();
    choices.today = m_ctx.clock.today();
    m_preview->showPreview(sora::build_import_preview(m_file.fileName, m_file.read, *m_log.records, choices));
}

void DiaryImport::write() {
    if (!m_preview) {
        return;
    }
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const std::vector<sora::MeasurementRecord> chosen = sora::chosen_records(m_preview->preview());
    const std::optional<sora::SituationRules> rules = m_preview->rules();
    if (chosen.empty() || !rules) {
        return;
    }
    // The rules are the user's preference, kept whether or not the import goes through.
    if (*rules != m_savedRules) {
        const sora::WriteResult kept = sora::write_situation_rules(m_ctx.dir, *rules);
        if (!kept) {
            dialogs.message(ui::Icon::Warning, Title, qs(kept.message));
        } else {
            m_savedRules = *rules;
        }
    }
    UndoStep step(m_ctx.changes, sora::import_undo_label(m_file.fileName, chosen.size()),
                  {sora::files::Log, sora::files::Situations});
    const sora::ImportWriteResult result =
        sora::write_import(m_ctx.dir, *m_log.records, m_log.stamp, chosen, situation_list(m_ctx.host));
    const sora::WriteResult& written = result.written;
    step.done(written.ok || written.inPlace);
    if (!written) {
        dialogs.message(ui::Icon::Warning, "取り込みエラー", qs(written.message));
        if (written.changedOnDisk) {
            m_preview->reject();
            m_ctx.host.showChangedDiary(false);
        }
        if (!written.inPlace) {
            return;
        }
    }
    m_ctx.changes.reportCopyWarning(written.warning);
    m_preview->accept();
    m_ctx.host.showChangedDiary(!result.situations.empty());
    dialogs.message(ui::Icon::Information, Title,
                    QString("%1 件の測定を取り込みました。\r\n取り込み全体は Ctrl+Z（元に戻す）で取り消せます。")
                        .arg(chosen.size()));
}
