// The change columns ("前" and "差") of every list that has them: the same pair of measurements shows the same
// change and arrow in the day list and in the filtered view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/views/day_page.h"
#include "core/views/filter_listing.h"
#include "test_support.h"

using namespace sora;

namespace {

struct Pair {
    float before;
    float after;
    const char* change;  // as shown
    const char* arrow;
};

/// The change texts and arrows that one list shows for a measurement after another.
struct Shown {
    std::string systolic, systolicArrow, diastolic, diastolicArrow, weight, weightArrow;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << s.systolic << s.systolicArrow << " " << s.diastolic << s.diastolicArrow << " " << s.weight
               << s.weightArrow;
}

MeasurementRecord record(const char* date, float systolic, float diastolic, float weight) {
    return {date, "朝食後", systolic, diastolic, 70, "", weight};
}

/// Every list builder with change columns, each given the two measurements on successive days.
std::vector<std::pair<const char*, Shown>> shown_by_every_list(const MeasurementRecord& first,
                                                               const MeasurementRecord& second) {
    const std::vector<MeasurementRecord> log = {first, second};
    std::vector<std::pair<const char*, Shown>> lists;

    const DayPage page = build_day_page(log, second.date, test::autoAxes(), SecondaryQuantity::Weight);
    const GridRow& day = page.list.rows.at(0);
    lists.push_back(
        {"day list",
         {day[day_col::SystolicChange].text, day[day_col::SystolicArrow].text, day[day_col::DiastolicChange].text,
          day[day_col::DiastolicArrow].text, day[day_col::WeightChange].text, day[day_col::WeightArrow].text}});

    const FilterView filter =
        build_filter_listing(log, FilterListing::All, {}, test::autoAxes(), SecondaryQuantity::Weight);
    const GridRow& listed = filter.grid.rows.at(1);
    lists.push_back({"filtered view",
                     {listed[filter_col::SystolicChange].text, listed[filter_col::SystolicArrow].text,
                      listed[filter_col::DiastolicChange].text, listed[filter_col::DiastolicArrow].text,
                      listed[filter_col::WeightChange].text, listed[filter_col::WeightArrow].text}});
    return lists;
}

}  // namespace

TEST(ChangeColumns, EveryListShowsTheChangeOfTheShownValues) {
    // Weights: the change is taken between the weights as shown and then rounded to one decimal.
    const std::vector<Pair> weights = {
        {62.5f, 62.45f, "-0.1", "↓"},  // −0.05 shown values; the float difference −0.0499992 would give 0.0
        {62.35f, 62.4f, "0.1", "↑"},   // 0.05; the float difference 0.0499992 would give 0.0
        {62.45f, 62.5f, "0.1", "↑"},   //
        {62.5f, 62.46f, "0.0", "→"},   // −0.04 rounds to nothing: no arrow down
        {62.5f, 62.0f, "-0.5", "↓"},   //
        {62.5f, 62.6f, "0.1", "↑"},    //
        {62.6f, 62.5f, "-0.1", "↓"},   //
        {70.25f, 70.3f, "0.1", "↑"},   // 0.05 again, at another magnitude
        {99.95f, 100.0f, "0.1", "↑"},  //
        {62.5f, 62.5f, "0.0", "→"},    //
        {62.44f, 62.4f, "0.0", "→"},   // −0.04
    };
    // Pressures: plain differences of the shown values, any number of decimals.
    const std::vector<Pair> pressures = {
        {120.0f, 125.0f, "5", "↑"},    {80.0f, 78.0f, "-2", "↓"},  {120.5f, 120.6f, "0.1", "↑"},
        {80.0f, 79.95f, "-0.05", "↓"}, {131.0f, 131.0f, "0", "→"}, {119.9f, 120.0f, "0.1", "↑"},
    };
    // 11 weight pairs and 6 pressure pairs: i runs through every weight with every systolic pair once.
    for (std::size_t i = 0; i < weights.size() * pressures.size(); ++i) {
        const Pair& w = weights[i % weights.size()];
        const Pair& s = pressures[i % pressures.size()];
        const Pair& d = pressures[(i + 3) % pressures.size()];
        const MeasurementRecord first = record("2005/02/08", s.before, d.before, w.before);
        const MeasurementRecord second = record("2005/02/09", s.after, d.after, w.after);
        const Shown expected{s.change, s.arrow, d.change, d.arrow, w.change, w.arrow};
        for (const auto& [list, shown] : shown_by_every_list(first, second)) {
            EXPECT_EQ(shown, expected) << list << ": weight " << w.before << " → " << w.after << ", systolic "
                                       << s.before << " → " << s.after << ", diastolic " << d.before << " → "
                                       << d.after;
        }
    }
}
