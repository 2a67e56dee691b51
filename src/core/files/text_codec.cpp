#include "core/files/text_codec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sora {

namespace {

constexpr const char* Cp932Name = "CP932";

/// One iconv conversion descriptor, closed on destruction.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    /// Converts all of `in`, appending to `out`; false on an invalid or unconvertible sequence.
    bool convert(std::string_view in, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::array<char, 4096> buffer;
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                return false;  // EILSEQ (no CP932 form / bad bytes) or EINVAL (cut-off sequence)
            }
            // Without //TRANSLIT glibc still counts irreversible conversions; none is acceptable here.
            if (rc != static_cast<std::size_t>(-1) && rc != 0) {
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

/// UTF-8 bytes of one character packed with their count: count in the low byte, bytes above it.
using PackedUtf8 = std::uint32_t;

PackedUtf8 pack(std::string_view utf8) {
    PackedUtf8 packed = static_cast<PackedUtf8>(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        packed |= static_cast<PackedUtf8>(static_cast<unsigned char>(utf8[i])) << (8 * (i + 1));
    }
    return packed;
}

/// True when `utf8` is exactly one character of at most three bytes (CP932 maps into the basic plane only).
bool is_one_character(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > 3) {
        return false;
    }
    const auto first = static_cast<unsigned char>(utf8[0]);
    const std::size_t length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    return length == utf8.size();
}

/// The decoding tables, filled once by asking iconv for every single byte and every lead/trail pair, so that the
/// fast decoder gives exactly iconv's answer (checked by a test over every code).
struct DecodeTables {
    std::array<PackedUtf8, 256> single{};  // 0: not a character on its own
    std::array<bool, 256> lead{};
    std::array<std::int16_t, 256> leadRow{};  // row of `pairs` for a lead byte, -1 otherwise
    std::vector<PackedUtf8> pairs;            // 256 entries per lead byte, 0: invalid pair
    bool asciiIdentity = true;
    bool ok = false;
};

DecodeTables build_tables() {
    DecodeTables t;
    t.leadRow.fill(-1);
    IconvHandle cd("UTF-8", Cp932Name);
    if (!cd.valid()) {
        return t;
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        std::string out;
        if (cd.convert(std::string_view(&byte, 1), out)) {
            t.single[b] = is_one_character(out) ? pack(out) : 0;
            if (b < 0x80 && (out.size() != 1 || static_cast<unsigned char>(out[0]) != b)) {
                t.asciiIdentity = false;
            }
            continue;
        }
        if (b < 0x80) {
            t.asciiIdentity = false;
        }
        // A byte that iconv reports as cut off (rather than invalid) starts a two-byte code.
        if (errno == EINVAL) {
            t.lead[b] = true;
        }
    }
    for (int b = 0; b < 256; ++b) {
        if (!t.lead[b]) {
            continue;
        }
        t.leadRow[b] = static_cast<std::int16_t>(t.pairs.size() / 256);
        t.pairs.resize(t.pairs.size() + 256, 0);
        PackedUtf8* row = &t.pairs[t.pairs.size() - 256];
        for (int trail = 0; trail < 256; ++trail) {
            const char pair[2] = {static_cast<char>(b), static_cast<char>(trail)};
            std::string out;
            // Only one character made of both bytes counts (iconv splits no pair in two; the test over every code
            // would notice).
            if (cd.convert(std::string_view(pair, 2), out) && is_one_character(out)) {
                row[trail] = pack(out);
            }
        }
    }
    t.ok = true;
    return t;
}

const DecodeTables& tables() {
    static const DecodeTables t = build_tables();
    return t;
}

void append_packed(std::string& out, PackedUtf8 packed) {
    const unsigned count = packed & 0xFF;
    for (unsigned i = 0; i < count; ++i) {
        out.push_back(static_cast<char>((packed >> (8 * (i + 1))) & 0xFF));
    }
}

/// Length of the run of ASCII bytes starting at `pos`, eight bytes at a time.
std::size_t ascii_run(std::string_view text, std::size_t pos) {
    const std::size_t start = pos;
    while (pos + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, 8);
        if (word & 0x8080808080808080ULL) {
            break;
        }
        pos += 8;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    return pos - start;
}

std::optional<std::string> decode_with_iconv(std::string_view cp932) {
    IconvHandle cd("UTF-8", Cp932Name);
    std::string out;
    if (!cd.valid() || !cd.convert(cp932, out)) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<std::string> cp932_to_utf8(std::string_view cp932) {
    const DecodeTables& t = tables();
    if (!t.ok || !t.asciiIdentity) {
        return decode_with_iconv(cp932);
    }
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    std::size_t pos = 0;
    while (pos < cp932.size()) {
        const std::size_t run = ascii_run(cp932, pos);
        out.append(cp932.data() + pos, run);
        pos += run;
        while (pos < cp932.size()) {
            const auto b = static_cast<unsigned char>(cp932[pos]);
            if (b < 0x80) {
                break;
            }
            if (t.lead[b]) {
                if (pos + 1 >= cp932.size()) {
                    return std::nullopt;  // cut off after a lead byte
                }
                const auto trail = static_cast<unsigned char>(cp932[pos + 1]);
                const PackedUtf8 packed = t.pairs[static_cast<std::size_t>(t.leadRow[b]) * 256 + trail];
                if (packed == 0) {
                    return std::nullopt;
                }
                append_packed(out, packed);
                pos += 2;
            } else {
                if (t.single[b] == 0) {
                    return std::nullopt;
                }
                append_packed(out, t.single[b]);
                ++pos;
            }
        }
    }
    return out;
}

std::optional<std::string> utf8_to_cp932(std::string_view utf8) {
    thread_local IconvHandle cd(Cp932Name, "UTF-8");
    if (!cd.valid()) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t run = ascii_run(utf8, pos);
        out.append(utf8.data() + pos, run);
        pos += run;
        // Every byte of a multi-byte UTF-8 character is ≥ 0x80, so a run of such bytes holds whole characters.
        std::size_t end = pos;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) {
            ++end;
        }
        if (end > pos && !cd.convert(utf8.substr(pos, end - pos), out)) {
            return std::nullopt;
        }
        pos = end;
    }
    return out;
}

bool cp932_can_hold(std::string_view utf8) {
    return utf8_to_cp932(utf8).has_value();
}

std::string replace_double_quotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '"') {
            out += "”";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace sora
