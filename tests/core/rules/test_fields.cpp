#include <gtest/gtest.h>

#include <iomanip>  // brings std::quoted into view, as any file using streams has it
#include <string>
#include <vector>

#include "core/rules/fields.h"

using Fields = std::vector<std::string>;

TEST(Fields, SplitsLinesAsTheFilesWriteThem) {
    struct Case {
        std::string line;
        Fields expected;
    };
    const std::vector<Case> cases = {
        {"\"2005/02/09\",\"はじめの一歩\",126,80,70,,62.5",
         {"2005/02/09", "はじめの一歩", "126", "80", "70", "", "62.5"}},
        {"\"2005/02/09\",\"朝\",125,79,66,\"\",62.6", {"2005/02/09", "朝", "125", "79", "66", "", "62.6"}},
        {"\"散歩, そして朝食\",1", {"散歩, そして朝食", "1"}},  // comma inside quotes belongs to the text
        {"散歩,朝食", {"散歩", "朝食"}},                        // a plain line with a comma is two items
        {"  散歩  ,\t朝食 ", {"散歩", "朝食"}},                 // blanks around plain items dropped
        {" \" 散歩 \" ,x", {" 散歩 ", "x"}},                    // blanks inside quotes kept
        {"a,,b", {"a", "", "b"}},                               // two commas in a row
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"", {""}},
        {"\"\"", {""}},
        {"\"ヘルプツアー\",1", {"ヘルプツアー", "1"}},
        {"\"unclosed, text", {"unclosed, text"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sora::split_fields(c.line), c.expected) << c.line;
        std::vector<std::string_view> views{"stale"};
        sora::split_fields(c.line, views);
        EXPECT_EQ(Fields(views.begin(), views.end()), c.expected) << c.line;
    }
}

TEST(Fields, QuotedFieldsReadBackUnchanged) {
    EXPECT_EQ(sora::quoted("はじめの一歩"), "\"はじめの一歩\"");
    EXPECT_EQ(sora::quoted(""), "\"\"");
    // A quote would end the field early; it is stored as ” instead.
    EXPECT_EQ(sora::quoted("a\"b"), "\"a”b\"");
    const std::string line = sora::quoted("食後, 散歩") + "," + sora::quoted("x\"y") + ",3";
    EXPECT_EQ(sora::split_fields(line), (Fields{"食後, 散歩", "x”y", "3"}));
}

TEST(Fields, SplitsTextIntoLines) {
    struct Case {
        std::string text;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\n", {""}},
        {"", {}},
        {"a\rb\r\n", {"a\rb"}},  // a lone CR is text, not a line end
    };
    for (const auto& c : cases) {
        const auto lines = sora::split_lines(c.text);
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), c.expected);
    }
}

namespace sora {
namespace {

// Unqualified, as code inside the namespace writes it: must not resolve to std::quoted.
TEST(Fields, UnqualifiedQuotedIsOurs) {
    const std::string constText = "朝";
    std::string text = "夜";
    const std::string a = quoted(constText);
    const std::string b = quoted(text);
    const std::string c = quoted(std::string("昼"));
    EXPECT_EQ(a + b + c, "\"朝\"\"夜\"\"昼\"");
}

}  // namespace
}  // namespace sora
