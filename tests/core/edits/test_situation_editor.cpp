#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/edits/situation_editor.h"
#include "core/files/storable_text.h"

namespace {

using List = std::vector<std::string>;

struct DragCase {
    int from;
    int to;
    std::optional<List> expected;  // nullopt: the list stays as it is
};

TEST(SituationEditor, DragRuleOnABCD) {
    const List abcd = {"A", "B", "C", "D"};
    const std::vector<DragCase> cases = {
        {0, 1, std::nullopt},              // A onto B: next item below, no move
        {0, 2, List{"B", "C", "A", "D"}},  // A onto C
        {3, 1, List{"A", "D", "B", "C"}},  // D onto B
        {1, 0, List{"B", "A", "C", "D"}},  // B onto A
        {2, 2, std::nullopt},              // on itself
        {0, 3, List{"B", "C", "D", "A"}},  // first onto last
        {3, 0, List{"D", "A", "B", "C"}},  // last onto first
        {2, 3, std::nullopt},              // C onto D
        {-1, 2, std::nullopt},             // nothing pressed
        {1, -1, std::nullopt},             // released outside the items
        {1, 4, std::nullopt},              // beyond the list
    };
    for (const DragCase& c : cases) {
        EXPECT_EQ(sora::drag_situation(abcd, c.from, c.to), c.expected) << c.from << " onto " << c.to;
    }
}

TEST(SituationEditor, DragKeepsEqualTextsApart) {
    const List items = {"散歩", "散歩", "朝食前"};
    EXPECT_EQ(sora::drag_situation(items, 2, 0), (List{"朝食前", "散歩", "散歩"}));
    EXPECT_EQ(sora::drag_situation({}, 0, 0), std::nullopt);
}

TEST(SituationEditor, RemoveOnlyAnExistingItem) {
    const List abc = {"A", "B", "C"};
    EXPECT_EQ(sora::remove_situation(abc, 1), (List{"A", "C"}));
    EXPECT_EQ(sora::remove_situation(abc, 2), (List{"A", "B"}));
    EXPECT_EQ(sora::remove_situation(List{"A"}, 0), List{});
    EXPECT_EQ(sora::remove_situation(abc, -1), std::nullopt);  // nothing selected
    EXPECT_EQ(sora::remove_situation(abc, 3), std::nullopt);
    EXPECT_EQ(sora::remove_situation({}, 0), std::nullopt);
}

TEST(SituationEditor, StorableTextReplacesQuotesAndRefusesWhatCp932CannotHold) {
    EXPECT_EQ(sora::storable_text("散歩 \"朝\""), "散歩 ”朝”");
    EXPECT_EQ(sora::storable_text(" 食後, 1 "), " 食後, 1 ");  // kept as typed
    EXPECT_EQ(sora::storable_text("①～②"), "①～②");
    EXPECT_EQ(sora::storable_text(""), "");
    EXPECT_EQ(sora::storable_text("朝\n食後\r\n1\r2"), "朝 食後 1 2");  // one line, one item
    EXPECT_EQ(sora::storable_text("散歩😀"), std::nullopt);
    EXPECT_EQ(sora::storable_text("\xff"), std::nullopt);  // not even UTF-8
}

}  // namespace
