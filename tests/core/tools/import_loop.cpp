// Imports a file and takes the import back, again and again until it is killed: the victim of the import kill test.
// Usage: import_loop DIR FILE SITUATION — every reading of FILE gets SITUATION.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/edits/undo_history.h"
#include "core/files/measurement_log.h"
#include "core/files/side_files.h"
#include "core/import/import_file.h"
#include "core/import/import_preview.h"
#include "core/import/import_write.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: import_loop DIR FILE SITUATION\n");
        return 2;
    }
    const sora::DataDir dir{std::filesystem::path(argv[1])};
    const sora::ImportFile file = sora::read_import_file(argv[2]);
    sora::ImportChoices choices;
    choices.wholeFile = argv[3];
    sora::UndoHistory history(dir);
    // A loop whose test died before killing it ends on its own.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        const sora::LogReadResult log = sora::MeasurementLog(dir).read_all();
        if (!log.ok) {
            std::fprintf(stderr, "import_loop: %s\n", log.message.c_str());
            return 3;
        }
        const sora::ImportPreview preview = sora::build_import_preview(file.fileName, file.read, log.records, choices);
        const auto situations = sora::read_situations(dir);
        history.begin("import", {sora::files::Log, sora::files::Situations});
        const sora::ImportWriteResult written =
            sora::write_import(dir, log.records, log.stamp, sora::chosen_records(preview), situations.value);
        if (!written.written.ok) {
            std::fprintf(stderr, "import_loop: %s\n", written.written.message.c_str());
            return 1;
        }
        history.commit();
        const sora::UndoResult undone = history.undo();
        if (!undone.ok) {
            std::fprintf(stderr, "import_loop: %s\n", undone.message.c_str());
            return 1;
        }
    }
    return 0;
}
