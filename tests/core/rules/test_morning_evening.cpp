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
