#pragma once

#include <QLabel>
#include <QWidget>
#include <array>

// Static parts of the main screen that need no diary data beyond the class table.

/// The sixteen statistics labels lblMaxMax … lblSaAvg with their captions: [quantity][maximum, minimum,
/// range, average], quantities systolic, diastolic, pulse, systolic − diastolic.
struct StatisticsPanel {
    QWidget* widget = nullptr;
    std::array<std::array<QLabel*, 4>, 4> labels{};
};
StatisticsPanel makeStatisticsPanel(QWidget* parent);

/// The fixed judgement table: heading "血圧判定", column heading "最高血圧 ～ 最低血圧", each class name on its
/// colour beside its range text.
QWidget* makeJudgementTable(QWidget* parent);
