#include "cli/safe_output.h"

#include <string_view>

namespace cli {
namespace {

bool c0_or_del(unsigned char byte) {
    return (byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F;
}

}  // namespace

bool SafeTextOutput::emit(std::string_view text) {
    return m_target.sputn(text.data(), static_cast<std::streamsize>(text.size())) ==
           static_cast<std::streamsize>(text.size());
}

bool SafeTextOutput::put(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (m_held == '\r') {
        m_held = 0;
        if (!emit(c == '\n' ? "\r" : " ")) {
            return false;
        }
    } else if (m_held == '\xC2') {
        m_held = 0;
        // U+0080–U+009F, the C1 controls, are C2 80–C2 9F in UTF-8.
        if (byte >= 0x80 && byte <= 0x9F) {
            return emit(" ");
        }
        if (!emit("\xC2")) {
            return false;
        }
    }
    if (c == '\r' || c == '\xC2') {
        m_held = c;
        return true;
    }
    const char out = c0_or_del(byte) ? ' ' : c;
    return emit(std::string_view(&out, 1));
}

SafeTextOutput::int_type SafeTextOutput::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    if (m_failed || !put(traits_type::to_char_type(c))) {
        m_failed = true;
        return traits_type::eof();
    }
    return c;
}

std::streamsize SafeTextOutput::xsputn(const char* data, std::streamsize size) {
    // Runs without anything to replace go on in one piece: the output of a long list is mostly such runs.
    std::streamsize done = 0;
    while (done < size && !m_failed) {
        std::streamsize run = done;
        if (m_held == 0) {
            while (run < size) {
                const auto byte = static_cast<unsigned char>(data[run]);
                if (c0_or_del(byte) || byte == '\r' || byte == 0xC2) {
                    break;
                }
                ++run;
            }
        }
        if (run > done) {
            if (m_target.sputn(data + done, run - done) != run - done) {
                m_failed = true;
                break;
            }
            done = run;
            continue;
        }
        if (!put(data[done])) {
            m_failed = true;
            break;
        }
        ++done;
    }
    return done;
}

int SafeTextOutput::sync() {
    return m_failed || m_target.pubsync() != 0 ? -1 : 0;
}

bool SafeTextOutput::finish() {
    if (m_held != 0 && !m_failed) {
        const char rest = m_held == '\r' ? ' ' : m_held;
        m_held = 0;
        m_failed = m_target.sputn(&rest, 1) != 1;
    }
    return !m_failed && m_target.pubsync() == 0;
}

}  // namespace cli
