#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rules/morning_evening.h"
#include "core/rules/saving_time.h"

using namespace sora;

TEST(MorningEvening, DefaultOccasionOfSituations) {
    const struct {
        const char* situation;
        Occasion expected;
    } cases[] = {
        {"起床後", Occasion::Morning}, {"朝食後", Occasion::Morning},     {"朝晩", Occasion::Morning},
        {"就寝前", Occasion::Evening}, {"夜の散歩後", Occasion::Evening}, {"晩酌後", Occasion::Evening},
        {"夕食後", Occasion::Neither}, {"昼食後", Occasion::Neither},     {"はじめの一歩", Occasion::Neither},
        {"", Occasion::Neither},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(default_occasion(c.situation), c.expected) << c.situation;
    }
}

TEST(MorningEvening, SetOccasionsOverrideTheDefaultAndKeepTheirOrder) {
    MorningEveningSettings settings;
    settings.set("朝食後", Occasion::Neither);
    settings.set("夕食後", Occasion::Evening);
    settings.set("朝食後", Occasion::Evening);
    EXPECT_EQ(settings.occasion_of("朝食後"), Occasion::Evening);
    EXPECT_EQ(settings.occasion_of("夕食後"), Occasion::Evening);
    EXPECT_EQ(settings.occasion_of("起床後"), Occasion::Morning);  // not set: the default
    ASSERT_EQ(settings.entries().size(), 2u);
    EXPECT_EQ(settings.entries()[0].first, "朝食後");
}

TEST(MorningEvening, MarksAgainstThresholdAndTarget) {
    const struct {
        double systolic, diastolic;
        HomeMark under75, from75;
    } cases[] = {
        {134, 84, HomeMark::AboveGoal, HomeMark::OnTarget},
        {135, 84, HomeMark::High, HomeMark::High},
        {134, 85, HomeMark::High, HomeMark::High},
        {135, 85, HomeMark::High, HomeMark::High},
        {124.9, 74.9, HomeMark::OnTarget, HomeMark::OnTarget},
        {125, 74, HomeMark::AboveGoal, HomeMark::OnTarget},
        {124, 75, HomeMark::AboveGoal, HomeMark::OnTarget},
        // Judged as printed: 134.96 shows as 135.0, 84.94 as 84.9.
        {134.96, 80, HomeMark::High, HomeMark::High},
        {130, 84.94, HomeMark::AboveGoal, HomeMark::OnTarget},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(home_mark(c.systolic, c.diastolic, AgeGroup::Under75), c.under75) << c.systolic << "/" << c.diastolic;
        EXPECT_EQ(home_mark(c.systolic, c.diastolic, AgeGroup::From75), c.from75) << c.systolic << "/" << c.diastolic;
    }
    EXPECT_EQ(home_mark_text(HomeMark::AboveGoal, AgeGroup::Under75), "目標未達（125/75以上）");
    EXPECT_EQ(home_mark_text(HomeMark::OnTarget, AgeGroup::From75), "目標達成（135/85未満）");
    EXPECT_EQ(home_mark_text(HomeMark::High, AgeGroup::From75), "高血圧域（135/85以上）");
}

TEST(MorningEvening, SavingTimeSplitsOffTheDiaryText) {
    const struct {
        const char* diary;
        const char* time;
        const char* text;
    } cases[] = {
        {"7:05:09", "7:05:09", ""},
        {"22:48:25 よく眠れた", "22:48:25", "よく眠れた"},
        {"7:05:09　散歩", "7:05:09", "散歩"},
        {"7:05:09散歩", "", "7:05:09散歩"},  // no blank: the user wrote it
        {"よく眠れた 7:05:09", "", "よく眠れた 7:05:09"},
        {"25:00:00", "", "25:00:00"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const SavingTimeSplit split = split_saving_time(c.diary);
        EXPECT_EQ(split.time, c.time) << c.diary;
        EXPECT_EQ(split.text, c.text) << c.diary;
    }
}

TEST(MorningEvening, ARenamedSituationKeepsItsOccasion) {
    const auto explicitly = [](std::initializer_list<std::pair<const char*, Occasion>> entries) {
        MorningEveningSettings settings;
        for (const auto& [situation, occasion] : entries) {
            settings.set(situation, occasion);
        }
        return settings;
    };
    const struct {
        MorningEveningSettings before;
        const char* from;
        const char* to;
        bool changed;
        Occasion after;  // of `to`
        std::size_t entries;
    } cases[] = {
        {{}, "朝食後", "食後", true, Occasion::Morning, 1},  // the default followed by name would be lost
        {{}, "昼食後", "夕食後", false, Occasion::Neither, 0},
        {{}, "起床後", "起床後", false, Occasion::Morning, 0},
        {explicitly({{"朝食後", Occasion::Neither}}), "朝食後", "朝ごはん後", true, Occasion::Neither, 1},
        {explicitly({{"朝食後", Occasion::Evening}, {"夕食後", Occasion::Morning}}), "朝食後", "夕食後", true,
         Occasion::Morning, 1},  // merged into a situation set already: that one's choice stays
    };
    for (const auto& c : cases) {
        MorningEveningSettings settings = c.before;
        EXPECT_EQ(settings.rename(c.from, c.to), c.changed) << c.from << "→" << c.to;
        EXPECT_EQ(settings.occasion_of(c.to), c.after) << c.from << "→" << c.to;
        EXPECT_EQ(settings.entries().size(), c.entries) << c.from << "→" << c.to;
    }
}
