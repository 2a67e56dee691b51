#pragma once

#include <string_view>

#include "common/screen_context.h"
#include "core/app_state.h"
#include "core/clock.h"
#include "core/files/data_dir.h"
#include "ui/dialogs.h"

/// Before a write of the side file `name` (one of `sora::files`): when the start-up could not read it, asks whether
/// to keep its old bytes first, and keeps them when asked to. False when the file must not be written: the user
/// cancelled, or the copy failed (the user has been told).
bool mayWriteSideFile(ui::Dialogs& dialogs, sora::UnreadableSideFiles& files, const sora::DataDir& dir,
                      const sora::Clock& clock, std::string_view name);

/// The same with a screen's context.
bool mayWriteSideFile(const ScreenContext& context, std::string_view name);
