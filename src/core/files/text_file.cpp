#include "core/files/text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "core/files/file_io.h"

#include "core/files/text_codec.h"
#include "core/rules/fields.h"

namespace sora::text_file {

std::string unreadable_line_message(std::string_view fileName, long line, std::string_view reason) {
    std::string message = std::string(fileName) + " の " + std::to_string(line) + " 行目が読めません";
    if (!reason.empty()) {
        message += "（" + std::string(reason) + "）";
    }
    return message + "。";
}

std::string unreadable_file_message(std::string_view fileName) {
    return "「" + std::string(fileName) + "」を読めませんでした。";
}

std::string cannot_read_message(const std::filesystem::path& path) {
    const std::string kind = not_regular_kind(path);
    if (kind.empty()) {
        return unreadable_file_message(name_of(path));
    }
    return "「" + name_of(path) + "」は普通のファイルではない（" + kind + "）ため、読めませんでした。";
}

std::string cannot_hold_message(std::string_view fileName) {
    return "保存できない文字（絵文字など）が含まれているため、「" + std::string(fileName) +
           "」に書き込みませんでした。";
}

long first_undecodable_line(std::string_view cp932) {
    long number = 1;
    std::size_t start = 0;
    while (start <= cp932.size()) {
        const std::size_t lf = cp932.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? cp932.size() : lf;
        if (!cp932_to_utf8(cp932.substr(start, end - start))) {
            return number;
        }
        if (lf == std::string_view::npos) {
            break;
        }
        start = lf + 1;
        ++number;
    }
    return 0;
}

bool decode_lines(std::string_view cp932, std::string_view fileName, std::string& utf8,
                  std::vector<std::string_view>& lines, std::string& message) {
    auto decoded = cp932_to_utf8(cp932);
    if (!decoded) {
        message = unreadable_line_message(fileName, first_undecodable_line(cp932), "文字コードが正しくありません");
        return false;
    }
    utf8 = std::move(*decoded);
    // A DOS end-of-file byte at the very end is no text: a file once edited on Windows often has one.
    if (!utf8.empty() && utf8.back() == '\x1a') {
        utf8.pop_back();
    }
    lines = split_lines(utf8);
    return true;
}

namespace {

/// The last `most` bytes of a regular file (fewer when it is shorter); empty when it cannot be read.
std::string tail_of(const std::filesystem::path& path, std::size_t most) {
    struct stat info {};
    const int fd = open_regular_for_reading(path, info);
    if (fd < 0) {
        return {};
    }
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    const std::size_t tail = std::min(size, most);
    std::string bytes(tail, '\0');
    std::size_t done = 0;
    while (done < tail) {
        const ssize_t n = ::pread(fd, bytes.data() + done, tail - done, static_cast<off_t>(size - tail + done));
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

bool blank_byte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1a';
}

}  // namespace

bool ends_mid_line(const std::filesystem::path& path) {
    const std::string last = tail_of(path, 1);
    return !last.empty() && last.back() != '\n';
}

bool ends_with_blank_line(const std::filesystem::path& path) {
    const std::string bytes = tail_of(path, 4096);
    // What follows the last printed character: one line break ends that line; a second one, blanks or tabs on a line
    // of their own, or a DOS end-of-file byte make a blank line that a record appended after it would stand behind.
    std::size_t from = bytes.size();
    while (from > 0 && blank_byte(bytes[from - 1])) {
        --from;
    }
    const std::string_view after = std::string_view(bytes).substr(from);
    if (after.find('\n') == std::string_view::npos) {
        return after.find('\x1a') != std::string_view::npos;  // "…62.5\x1a": the append would glue onto it
    }
    return after != "\n" && after != "\r\n";
}

std::string name_of(const std::filesystem::path& path) {
    return path.filename().string();
}

}  // namespace sora::text_file
