#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sora {

/// Helpers the log and the side files share for reading and writing their CP932 text files.
namespace text_file {

/// The message for a line that cannot be read: "データ.txt の 3 行目が読めません（reason）。"
std::string unreadable_line_message(std::string_view fileName, long line, std::string_view reason = {});

/// The message for a file that cannot be opened or read.
std::string unreadable_file_message(std::string_view fileName);

/// The message for a file that cannot be read, saying so when it is not a regular file at all (a FIFO, a device, a
/// socket, a folder).
std::string cannot_read_message(const std::filesystem::path& path);

/// The message for a text that CP932 cannot hold; nothing has been written when it is shown.
std::string cannot_hold_message(std::string_view fileName);

/// The 1-based number of the first line whose CP932 bytes do not decode (0 when every line decodes).
long first_undecodable_line(std::string_view cp932);

/// Decodes a whole file into UTF-8 lines (a DOS end-of-file byte at the very end is dropped). False with a message
/// naming the file and line on bad bytes.
bool decode_lines(std::string_view cp932, std::string_view fileName, std::string& utf8,
                  std::vector<std::string_view>& lines, std::string& message);

/// True when the file exists, is not empty and its last byte is not a line feed (an append must end that line first).
bool ends_mid_line(const std::filesystem::path& path);

/// True when the file ends in an empty line: a record appended there would stand after a blank line, which the log
/// does not allow between records.
bool ends_with_blank_line(const std::filesystem::path& path);

/// The file name of a path as UTF-8 text, for messages.
std::string name_of(const std::filesystem::path& path);

}  // namespace text_file
}  // namespace sora
