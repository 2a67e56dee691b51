#pragma once

#include <QIcon>

/// The pictures of the daily-average screen's picture buttons.
enum class AverageIcon { Period, Save, Print };

/// Drawn in code, so the buttons look the same with every icon theme (and without one).
QIcon averageScreenIcon(AverageIcon which);
