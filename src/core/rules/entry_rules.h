#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/rules/measurement_record.h"

namespace sora {

/// A refusal of the entry panel: the warning's title and text.
struct EntryMessage {
    std::string title;
    std::string text;
    bool operator==(const EntryMessage&) const = default;
};

/// The four value boxes in the order systolic (txtMaxInp), diastolic (txtMinInp), pulse (txtMyakuInp),
/// weight (txtTaiInp), as typed; every function here reads them through half_width_number.
using EntryBoxes = std::array<std::string, 4>;

/// The boxes that may stay empty (a value not measured, stored as 0), in the order of EntryBoxes.
using OptionalBoxes = std::array<bool, 4>;

/// The checks of the save button in their fixed order; the first that fails, or nullopt when the measurement
/// may be saved. A situation that CP932 cannot hold is refused last, so that nothing is written corrupt.
/// The entry panel has no optional box; a correction keeps a value that was not measured as such.
std::optional<EntryMessage> check_entry(bool sampleMode, std::string_view situation, const EntryBoxes& boxes,
                                        const OptionalBoxes& optional = {});

/// The value box (0–3) whose check refuses the entry, where the user should type again; -1 when the refusal is
/// about the sample or the situation, or there is none.
int refused_box(bool sampleMode, std::string_view situation, const EntryBoxes& boxes,
                const OptionalBoxes& optional = {});

/// The measurement to save: the date, the situation, the four values as 32-bit floats, the diary text.
/// Only for boxes that passed check_entry.
MeasurementRecord form_record(std::string_view date, std::string_view situation, const EntryBoxes& boxes,
                              std::string_view diary);

/// True when the record must be inserted through the copy: the latest date on file is later than its date.
bool needs_insert(std::string_view latestDate, std::string_view newDate);

/// A stepper click: the number the box text starts with (0 when none) plus `delta`, in shortest form.
std::string step_value(std::string_view boxText, int delta);

/// The message for a typed text that the files cannot hold.
EntryMessage unstorable_text_message();

/// The refusal of every change while the sample diary is shown.
EntryMessage sample_diary_message();

/// The prompt of the free situation input, line by line.
std::string free_situation_prompt();

}  // namespace sora
