#include "core/files/text_file.h"

#include <algorithm>
#include <fstream>

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
    lines = split_lines(utf8);
    return true;
}

bool ends_mid_line(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() <= 0) {
        return false;
    }
    in.seekg(-1, std::ios::end);
    char last = '\n';
    in.get(last);
    return in && last != '\n';
}

bool ends_with_blank_line(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    if (size <= 0) {
        return false;
    }
    const std::streamoff tail = std::min<std::streamoff>(size, 4096);
    std::string bytes(static_cast<std::size_t>(tail), '\0');
    in.seekg(-tail, std::ios::end);
    in.read(bytes.data(), tail);
    // Line breaks after the last printed character: one ends that line, a second one makes a blank line.
    int lineBreaks = 0;
    for (auto it = bytes.rbegin(); it != bytes.rend() && lineBreaks < 2; ++it) {
        if (*it == '\n') {
            ++lineBreaks;
        } else if (*it != '\r') {
            break;
        }
    }
    return lineBreaks >= 2;
}

std::string name_of(const std::filesystem::path& path) {
    return path.filename().string();
}

}  // namespace sora::text_file
