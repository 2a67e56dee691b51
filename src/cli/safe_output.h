#pragma once

#include <streambuf>
#include <string_view>

namespace cli {

/// An output buffer that passes text on to another with every control character as a blank (C0 but tab and line
/// breaks, DEL, C1): a memo imported or typed long ago may hold an escape sequence that would clear the terminal or
/// set its title. A CR stays only before an LF (the CSV's line ends).
class SafeTextOutput : public std::streambuf {
public:
    explicit SafeTextOutput(std::streambuf& target) : m_target(target) {}
    ~SafeTextOutput() override { finish(); }
    SafeTextOutput(const SafeTextOutput&) = delete;
    SafeTextOutput& operator=(const SafeTextOutput&) = delete;

    /// Writes what is held back (a CR or a lead byte whose next byte has not come yet).
    bool finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    bool put(char c);
    bool emit(std::string_view text);

    std::streambuf& m_target;
    char m_held = 0;  // '\r' or '\xC2' waiting for the byte after it; 0 for none
    bool m_failed = false;
};

}  // namespace cli
