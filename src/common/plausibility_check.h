#pragma once

#include "core/rules/measurement_record.h"

namespace ui {
class Dialogs;
}

/// Asks about a doubtful measurement (a swapped pair, a value outside its plausible range) before it is saved,
/// with いいえ as the default. Returns the value box (0–3: systolic, diastolic, pulse, weight) to go back to when
/// the user wants to look again; -1 when the record may be saved.
int askAboutDoubtfulValues(ui::Dialogs& dialogs, const sora::MeasurementRecord& record);

/// The title of that question.
inline constexpr const char* DoubtfulValueTitle = "入力値の確認";
