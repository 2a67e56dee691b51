#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/screen_context.h"
#include "core/files/log_cache.h"
#include "core/import/import_file.h"
#include "core/import/import_preview.h"
#include "import/import_window.h"

class QWidget;

/// ファイルから取り込み: picks a file, reads it in core, shows the preview window and writes the chosen readings as one
/// undoable change of the diary.
class DiaryImport : public QObject {
    Q_OBJECT
public:
    DiaryImport(ScreenContext context, QWidget* window);

    /// Asks for a file (in the documents folder) and opens its preview.
    void start();
    /// Reads the file and shows its preview (without waiting for the window); false when the file does not read,
    /// which the user has been told.
    bool open(const std::filesystem::path& path);

    /// The preview window while it is open.
    ImportWindow* window() const { return m_preview; }

private:
    void readFile();
    void classify();
    void write();

    ScreenContext m_ctx;
    QWidget* m_window;
    std::filesystem::path m_path;
    sora::ImportFile m_file;
    sora::SharedLog m_log;
    sora::SituationRules m_savedRules;
    QPointer<ImportWindow> m_preview;
};
