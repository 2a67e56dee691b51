#include "core/import/import_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/files/file_io.h"
#include "core/files/text_file.h"

namespace sora {
namespace {

std::string quoted_name(const std::filesystem::path& path) {
    return "「" + text_file::name_of(path) + "」";
}

/// Why `path` cannot be opened, from what it is and the error of the opening.
std::string refusal(const std::filesystem::path& path, int error) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        return quoted_name(path) + "が見つかりません。";
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ELOOP) {
            return quoted_name(path) + "はリンクが循環していて、ファイルにたどり着けません。";
        }
        return quoted_name(path) + "はリンクですが、リンク先のファイルがありません。";
    }
    if (S_ISDIR(info.st_mode)) {
        return quoted_name(path) + "はフォルダです。取り込むファイルを選んでください。";
    }
    if (!S_ISREG(info.st_mode)) {
        return quoted_name(path) + "は普通のファイルではありません（" + not_regular_kind(path) +
               "）。血圧計のアプリなどが書き出したファイルを選んでください。";
    }
    if (error == EACCES || error == EPERM) {
        return quoted_name(path) + "を読む権限がありません。";
    }
    return quoted_name(path) + "を開けませんでした。";
}

}  // namespace

ImportSource open_import_source(const std::filesystem::path& path) {
    ImportSource source;
    struct stat info {};
    const int fd = open_regular_for_reading(path, info);
    if (fd < 0) {
        source.message = refusal(path, errno);
        return source;
    }
    // Reading a regular file never waits: the descriptor may stay non-blocking.
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        source.message = quoted_name(path) + "を開けませんでした。";
        return source;
    }
    source.file.reset(file);
    source.size = static_cast<unsigned long long>(info.st_size);
    return source;
}

}  // namespace sora
