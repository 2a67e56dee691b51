#include "core/files/leftover_temporaries.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include "core/files/file_io.h"
#include "core/files/log_backups.h"

namespace sora {
namespace {

bool all_digits(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/// The fixed temporary names whose unique forms writers create ("データコピー.txt" → "データコピー.<pid>-<n>.txt").
constexpr std::array<std::string_view, 7> TextTemporaries = {
    files::LogCopy,      files::LogRename,   files::SituationsRename, files::MorningEveningRename,
    files::RenameJournal, files::UndoJournal, files::ImportJournal};

/// True for a name a writer of this program gives a temporary file: one of the fixed names above, or any
/// "<name>.txt.tmp" (the side files, the manifest), each with ".<pid>-<n>" before its extension.
bool is_writer_temporary(std::string_view base, std::string_view extension) {
    if (extension == ".tmp") {
        return base.size() > 4 && (base.ends_with(".txt") || base.ends_with(".TXT"));
    }
    return std::any_of(TextTemporaries.begin(), TextTemporaries.end(), [&](std::string_view fixed) {
        return fixed.size() == base.size() + extension.size() && fixed.starts_with(base) && fixed.ends_with(extension);
    });
}

/// The folders a writer of `dir` may leave a temporary file in: the data folder, "backup/", and the folder of
/// every data file that is a link to a file elsewhere (a write puts its temporary file beside the real file).
std::vector<std::filesystem::path> writers_folders(const DataDir& dir) {
    std::vector<std::filesystem::path> folders = {dir.path(), dir.path() / std::string(files::BackupFolder)};
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir.path(), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (!it->is_symlink(kind)) {
            continue;
        }
        std::filesystem::path folder = write_target(it->path()).parent_path();
        std::error_code same;
        const bool known = std::any_of(folders.begin(), folders.end(), [&](const std::filesystem::path& f) {
            std::error_code e;
            return std::filesystem::equivalent(f, folder, e);
        });
        if (!known && std::filesystem::is_directory(folder, same)) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

}  // namespace

bool writer_alive(long pid) {
    if (pid == static_cast<long>(::getpid())) {
        return false;  // this process writes nothing while it holds the lock and cleans up
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

long temporary_writer_pid(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return 0;
    }
    const std::string_view extension = name.substr(dot);
    const std::string_view rest = name.substr(0, dot);
    const std::size_t mark = rest.rfind('.');
    if (mark == std::string_view::npos) {
        return 0;
    }
    const std::string_view unique = rest.substr(mark + 1);
    const std::size_t dash = unique.find('-');
    if (dash == std::string_view::npos || !all_digits(unique.substr(0, dash)) || !all_digits(unique.substr(dash + 1)) ||
        !is_writer_temporary(rest.substr(0, mark), extension)) {
        return 0;
    }
    return std::stol(std::string(unique.substr(0, dash)));
}

LeftoverCleanup remove_dead_writers_temporaries(const DataDir& dir) {
    LeftoverCleanup cleanup;
    for (const std::filesystem::path& folder : writers_folders(dir)) {
        std::vector<std::filesystem::path> dead;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code kind;
            if (it->is_symlink(kind) || !it->is_regular_file(kind)) {
                continue;
            }
            const std::string name = it->path().filename().string();
            const long pid = temporary_writer_pid(name);
            if (pid <= 0) {
                continue;
            }
            if (writer_alive(pid)) {
                cleanup.kept.push_back(name);
            } else {
                dead.push_back(it->path());
            }
        }
        for (const std::filesystem::path& path : dead) {
            std::error_code gone;
            cleanup.removed += std::filesystem::remove(path, gone) ? 1 : 0;
        }
    }
    if (!cleanup.kept.empty()) {
        cleanup.message = "書き込み中に終わったプログラムの一時ファイル「" + cleanup.kept.front() + "」" +
                          (cleanup.kept.size() > 1 ? "など " + std::to_string(cleanup.kept.size()) + " 個" : "") +
                          "は、そのプログラムがまだ動いているかもしれないため残しました。";
    }
    return cleanup;
}

}  // namespace sora
