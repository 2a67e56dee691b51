#include "core/import/text_decoding.h"

#include <cstdint>
#include <cstring>

#include <iconv.h>

#include <array>
#include <cerrno>

#include "core/files/text_codec.h"

namespace sora {
namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

/// Whole-text conversion through iconv; nullopt on any invalid or cut-off sequence.
std::optional<std::string> iconv_to_utf8(std::string_view in, const char* from) {
    const iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(in.size() * 3 / 2);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::array<char, 8192> buffer;
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok ? std::optional<std::string>(std::move(out)) : std::nullopt;
}

bool valid_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Eight ASCII bytes at a time: files are mostly digits and separators.
        if (i + 8 <= text.size()) {
            std::uint64_t eight = 0;
            std::memcpy(&eight, text.data() + i, 8);
            if ((eight & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

/// Control bytes other than tab, line breaks and form feed mark a binary file.
bool has_binary_bytes(std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f') {
            return true;
        }
    }
    return false;
}

}  // namespace

const char* encoding_name(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf8Bom:
            return "UTF-8 (BOM付き)";
        case TextEncoding::Cp932:
            return "Shift_JIS (CP932)";
        case TextEncoding::Utf16Le:
            return "UTF-16 LE";
        case TextEncoding::Utf16Be:
            return "UTF-16 BE";
    }
    return "";
}

std::optional<TextEncoding> detect_encoding(std::string_view bytes) {
    if (bytes.starts_with(Utf8Bom)) {
        return TextEncoding::Utf8Bom;
    }
    if (bytes.starts_with(Utf16LeBom)) {
        return TextEncoding::Utf16Le;
    }
    if (bytes.starts_with(Utf16BeBom)) {
        return TextEncoding::Utf16Be;
    }
    // Look at the start only: the decision must not cost a pass over a large file.
    const std::string_view head = bytes.substr(0, 64 * 1024);
    std::size_t evenZeros = 0;
    std::size_t oddZeros = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (head[i] == '\0') {
            (i % 2 == 0 ? evenZeros : oddZeros) += 1;
        }
    }
    // Every ASCII character of UTF-16 has a zero byte on one side; a CJK character may have one on the other.
    const std::size_t half = head.size() / 2;
    if (half > 0 && oddZeros >= half / 4 && oddZeros > 4 * evenZeros) {
        return TextEncoding::Utf16Le;
    }
    if (half > 0 && evenZeros >= half / 4 && evenZeros > 4 * oddZeros) {
        return TextEncoding::Utf16Be;
    }
    if (has_binary_bytes(head)) {
        return std::nullopt;
    }
    // A multi-byte character cut at the end of the head is still UTF-8.
    std::string_view utf8Head = head;
    for (int k = 0; k < 3 && !utf8Head.empty() && !valid_utf8(utf8Head) && head.size() < bytes.size(); ++k) {
        utf8Head.remove_suffix(1);
    }
    if (valid_utf8(utf8Head)) {
        return TextEncoding::Utf8;
    }
    std::string_view cp932Head = head;
    if (head.size() < bytes.size() && !cp932_to_utf8(cp932Head)) {
        cp932Head.remove_suffix(1);
    }
    if (cp932_to_utf8(cp932Head)) {
        return TextEncoding::Cp932;
    }
    return std::nullopt;
}

std::optional<std::string_view> utf8_text(std::string_view bytes) {
    if (bytes.starts_with(Utf8Bom)) {
        bytes.remove_prefix(Utf8Bom.size());
    }
    return valid_utf8(bytes) ? std::optional<std::string_view>(bytes) : std::nullopt;
}

std::optional<std::string> decode_text(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            if (const std::optional<std::string_view> text = utf8_text(bytes)) {
                return std::string(*text);
            }
            return std::nullopt;
        case TextEncoding::Cp932:
            return cp932_to_utf8(bytes);
        case TextEncoding::Utf16Le:
            if (bytes.starts_with(Utf16LeBom)) {
                bytes.remove_prefix(2);
            }
            return iconv_to_utf8(bytes, "UTF-16LE");
        case TextEncoding::Utf16Be:
            if (bytes.starts_with(Utf16BeBom)) {
                bytes.remove_prefix(2);
            }
            return iconv_to_utf8(bytes, "UTF-16BE");
    }
    return std::nullopt;
}

}  // namespace sora
