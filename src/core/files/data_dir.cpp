#include "core/files/data_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

#include "core/files/file_io.h"
#include "core/files/log_backups.h"

namespace sora {
namespace {

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: the bytes of Japanese characters compare exactly.
bool same_name_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::filesystem::path home_dir() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return std::filesystem::current_path();
}

bool same_bytes(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::string bytesA;
    std::string bytesB;
    return read_file(a, bytesA) && read_file(b, bytesB) && bytesA == bytesB;
}

/// What tells that the folder is the user's own diary whose log is gone: a file of the user's own, or a kept copy
/// of an earlier log ("データ_yyyymmdd_hhmmss.txt", beside the log or in "backup/"). Empty when there is nothing of
/// the kind.
std::string own_diary_sign(const DataDir& target, const DataDir& sample) {
    for (const std::string_view name : {files::Private, files::Memo}) {
        const std::filesystem::path file = target.find(name);
        std::error_code ec;
        if (std::filesystem::exists(file, ec) && !same_bytes(file, sample.find(name))) {
            return std::string(name);
        }
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(target.path(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("データ_") && name.ends_with(".txt")) {
            return name;
        }
    }
    const std::filesystem::path backups = target.path() / std::string(files::BackupFolder);
    for (std::filesystem::directory_iterator it(backups, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (backup_time(name)) {
            return std::string(files::BackupFolder) + "/" + name;
        }
    }
    return {};
}

}  // namespace

std::string missing_log_message(const std::filesystem::path& logPath, std::string_view why) {
    return "日記のファイル「" + logPath.string() + "」が見つかりません。\r\n" + std::string(why) +
           "\r\nファイルを元の場所に戻してから起動し直すか、編集 → 新規にスタートするときから日記を始めてください。"
           "\r\nそれまでは何も保存しません。";
}

DataDir::DataDir(std::filesystem::path dir) : m_dir(std::move(dir)) {}

std::filesystem::path DataDir::find(std::string_view name) const {
    const std::filesystem::path canonical = m_dir / std::filesystem::path(std::string(name));
    std::error_code ec;
    if (std::filesystem::exists(canonical, ec)) {
        return canonical;
    }
    // Several spellings may exist side by side; the smallest one wins so that every run picks the same file.
    std::filesystem::path found;
    for (std::filesystem::directory_iterator it(m_dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (same_name_ignoring_case(entry, name) && (found.empty() || entry < found.filename().string())) {
            found = it->path();
        }
    }
    return found.empty() ? canonical : found;
}

std::filesystem::path default_data_dir() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        const std::filesystem::path base(xdg);
        // The XDG rules ignore a relative value.
        if (base.is_absolute()) {
            return base / "soranote";
        }
    }
    return home_dir() / ".local" / "share" / "soranote";
}

bool install_sample_if_needed(const std::filesystem::path& dir, const std::filesystem::path& sampleDir,
                              std::string& message) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir, ec)) {
        message = "データフォルダ「" + dir.string() + "」を作成できませんでした。";
        return false;
    }
    const DataDir target(dir);
    const std::filesystem::path logPath = target.find(files::Log);
    if (std::filesystem::exists(logPath, ec)) {
        return true;
    }
    // A sample in place of a diary that is only out of reach would hide it and mix with it later.
    if (std::filesystem::is_symlink(logPath, ec)) {
        message = missing_log_message(
            logPath, "リンク先「" + std::filesystem::read_symlink(logPath, ec).string() +
                         "」がありません（ドライブやネットワークの場所がつながっていないのかもしれません）。");
        return true;
    }
    const DataDir sample(sampleDir);
    if (const std::string sign = own_diary_sign(target, sample); !sign.empty()) {
        message = missing_log_message(logPath, "このフォルダにはご自分の日記のファイル（" + sign +
                                                   "）があるため、サンプルの日記は入れませんでした。");
        return true;
    }
    std::string logBytes;
    if (!read_file(sample.find(files::Log), logBytes)) {
        message = "サンプルの日記「" + (sampleDir / std::string(files::Log)).string() + "」が見つかりません。";
        return false;
    }

    // Side files first and the log last: a log in place means the installation is complete.
    // A side file the user already has is kept; the sample never overwrites it.
    std::vector<std::filesystem::path> sideFiles;
    for (std::filesystem::directory_iterator it(sampleDir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file() && !same_name_ignoring_case(it->path().filename().string(), files::Log)) {
            sideFiles.push_back(it->path());
        }
    }
    for (const auto& source : sideFiles) {
        const std::string name = source.filename().string();
        const std::filesystem::path destination = target.find(name);
        if (std::filesystem::exists(destination, ec)) {
            continue;
        }
        std::string bytes;
        const std::filesystem::path temporary = dir / (name + ".tmp");
        if (!read_file(source, bytes)) {
            message = "サンプルの「" + name + "」を読めませんでした。";
            return false;
        }
        if (const WriteResult written = replace_file(destination, temporary, bytes); !written) {
            message = written.message;
            return false;
        }
    }
    const WriteResult written = replace_file(target.find(files::Log), dir / std::string(files::LogCopy), logBytes);
    if (!written) {
        message = written.message;
        return false;
    }
    return true;
}

}  // namespace sora
