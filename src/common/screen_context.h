#pragma once

#include "core/app_state.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "core/files/log_cache.h"
#include "ui/screen_host.h"

class DiaryChanges;

/// What every screen gets from the main window: the shared state, the data directory, the clock, the log's records,
/// the host and the changes of the diary.
struct ScreenContext {
    sora::AppState& state;
    const sora::DataDir& dir;
    const sora::Clock& clock;
    /// The log's records, shared by the screens.
    sora::LogCache& log;
    ui::ScreenHost& host;
    /// Corrections, undo steps and restores of the diary.
    DiaryChanges& changes;
};
