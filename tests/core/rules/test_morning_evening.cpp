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
    // The standard target of the guideline, and a doctor's 135/85 (what an earlier "75歳以上" file becomes).
    const HomeTarget standard = home_target({});
    const HomeTarget doctor = home_target({TargetSetting::Choice::Doctor, {135, 85}});
    const struct {
        double systolic, diastolic;
        HomeMark standard, doctor;
    } cases[] = {
        {124, 74, HomeMark::OnTarget, HomeMark::OnTarget},
        {125, 74, HomeMark::AboveGoal, HomeMark::OnTarget},
        {124, 75, HomeMark::AboveGoal, HomeMark::OnTarget},
        {135, 84, HomeMark::High, HomeMark::High},
        {134, 85, HomeMark::High, HomeMark::High},
        {134, 84, HomeMark::AboveGoal, HomeMark::OnTarget},
        {124.9, 74.9, HomeMark::OnTarget, HomeMark::OnTarget},
        // Judged as printed: 134.96 shows as 135.0, 84.94 as 84.9, 124.96 as 125.0.
        {134.96, 80, HomeMark::High, HomeMark::High},
        {130, 84.94, HomeMark::AboveGoal, HomeMark::OnTarget},
        {124.96, 70, HomeMark::AboveGoal, HomeMark::OnTarget},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(home_mark(c.systolic, c.diastolic, standard), c.standard) << c.systolic << "/" << c.diastolic;
        EXPECT_EQ(home_mark(c.systolic, c.diastolic, doctor), c.doctor) << c.systolic << "/" << c.diastolic;
    }
    EXPECT_EQ(home_mark_text(HomeMark::AboveGoal, standard), "目標未達（125/75以上）");
    EXPECT_EQ(home_mark_text(HomeMark::OnTarget, doctor), "目標達成（135/85未満）");
    EXPECT_EQ(home_mark_text(HomeMark::High, doctor), "高血圧域（135/85以上）");
    EXPECT_EQ(target_text({}), "125/75 mmHg 未満（標準、JSH2025）");
    EXPECT_EQ(target_text({TargetSetting::Choice::Doctor, {130, 80}}), "130/80 mmHg 未満（主治医の指示）");
}

TEST(MorningEvening, DoctorTargetAsTyped) {
    const struct {
        const char* systolic;
        const char* diastolic;
        int badBox;  // -1: taken
    } cases[] = {
        {"130", "80", -1}, {"１３０", "８０", -1}, {"132.5", "82", -1}, {"60", "30", -1}, {"260", "159", -1},
        {"", "80", 0},     {"13o", "80", 0},       {"59", "30", 0},     {"261", "80", 0}, {"130", "", 1},
        {"130", "29", 1},  {"200", "161", 1},      {"80", "80", 1},     {"80", "130", 1},
    };
    for (const auto& c : cases) {
        const DoctorTargetInput input = parse_doctor_target(c.systolic, c.diastolic);
        EXPECT_EQ(input.badBox, c.badBox) << c.systolic << "/" << c.diastolic;
        EXPECT_EQ(input.target.has_value(), c.badBox < 0);
        EXPECT_EQ(input.message.empty(), c.badBox < 0);
    }
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
