#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <optional>
#include <random>
#include <string>

#include "core/files/text_codec.h"

namespace {

/// The reference: glibc iconv alone, one conversion of the whole input.
std::optional<std::string> iconv_decode(const std::string& in) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (const int v : values) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

}  // namespace

TEST(TextCodec, DecoderAgreesWithIconvOverEverySingleByteAndPair) {
    int checked = 0;
    int valid = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string one = bytes({b});
        ASSERT_EQ(sora::cp932_to_utf8(one), iconv_decode(one)) << "byte " << b;
        for (int t = 0; t < 256; ++t) {
            const std::string pair = bytes({b, t});
            const auto expected = iconv_decode(pair);
            ASSERT_EQ(sora::cp932_to_utf8(pair), expected) << "bytes " << b << " " << t;
            // The same code between ASCII text, so that the fast ASCII path and the table meet.
            const std::string framed = "abc" + pair + "defghijk";
            ASSERT_EQ(sora::cp932_to_utf8(framed), iconv_decode(framed)) << "framed " << b << " " << t;
            ++checked;
            valid += expected.has_value() ? 1 : 0;
        }
    }
    EXPECT_EQ(checked, 65536);
    EXPECT_GT(valid, 20000);  // sanity: the table really was filled (ASCII pairs alone are 16384)
}

TEST(TextCodec, DecoderAgreesWithIconvOnRandomByteStrings) {
    std::mt19937 random(20050209);
    // Mostly lead and trail bytes, so that codes run into each other and into ASCII.
    const std::string alphabet = bytes({'a',  ',',  '"',  0x81, 0x82, 0x88, 0x9F, 0xE0, 0xFC, 0x40, 0x7F,
                                        0xA0, 0xB1, 0xDF, 0xFD, 0xFF, 0xED, 0xEE, 0xFA, 0x00, 0x5C});
    for (int i = 0; i < 20000; ++i) {
        std::string text(random() % 24, '\0');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        ASSERT_EQ(sora::cp932_to_utf8(text), iconv_decode(text)) << i;
    }
}

TEST(TextCodec, DecodesJapaneseTextAndRefusesBrokenBytes) {
    // "はじめの一歩",126 in CP932.
    const std::string line =
        bytes({0x22, 0x82, 0xCD, 0x82, 0xB6, 0x82, 0xDF, 0x82, 0xCC, 0x88, 0xEA, 0x95, 0xE0, 0x22}) + ",126\r\n";
    EXPECT_EQ(sora::cp932_to_utf8(line), std::optional<std::string>("\"はじめの一歩\",126\r\n"));
    EXPECT_EQ(sora::cp932_to_utf8(bytes({0xB1, 0xB2})), std::optional<std::string>("ｱｲ"));  // half-width kana
    EXPECT_EQ(sora::cp932_to_utf8(""), std::optional<std::string>(""));
    EXPECT_EQ(sora::cp932_to_utf8(bytes({'a', 0x82})), std::nullopt);        // cut off after a lead byte
    EXPECT_EQ(sora::cp932_to_utf8(bytes({0x82, 0x20, 'a'})), std::nullopt);  // lead byte with a blank
    EXPECT_EQ(sora::cp932_to_utf8(bytes({'x', 0xFF})), std::nullopt);
}

TEST(TextCodec, EncodesAndRoundTripsSpecialCharacters) {
    EXPECT_EQ(sora::utf8_to_cp932("①"), std::optional<std::string>(bytes({0x87, 0x40})));
    EXPECT_EQ(sora::utf8_to_cp932("～"), std::optional<std::string>(bytes({0x81, 0x60})));
    for (const std::string text : {"①②", "130～139", "ﾌﾟﾗｲﾍﾞｰﾄ", "血圧,\"x\"", "a\r\nb", "”", "髙", "\\~"}) {
        const auto encoded = sora::utf8_to_cp932(text);
        ASSERT_TRUE(encoded.has_value()) << text;
        EXPECT_EQ(sora::cp932_to_utf8(*encoded), std::optional<std::string>(text)) << text;
    }
}

TEST(TextCodec, RefusesWhatCp932CannotHold) {
    for (const std::string text : {"😀", "日記😀", "한국어", "ẞ", "\xE9t\xE9" /* not UTF-8 */, "\xE3\x81"}) {
        EXPECT_EQ(sora::utf8_to_cp932(text), std::nullopt) << text;
        EXPECT_FALSE(sora::cp932_can_hold(text)) << text;
    }
    EXPECT_TRUE(sora::cp932_can_hold("朝食後 7:05:09, 散歩"));
    EXPECT_TRUE(sora::cp932_can_hold(""));
}

TEST(TextCodec, ReplacesDoubleQuotes) {
    EXPECT_EQ(sora::replace_double_quotes("a\"b\"\"c"), "a”b””c");
    EXPECT_EQ(sora::replace_double_quotes("散歩"), "散歩");
    EXPECT_EQ(sora::replace_double_quotes(""), "");
}
