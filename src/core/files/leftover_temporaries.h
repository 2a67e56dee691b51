#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_dir.h"

namespace sora {

/// What the clean-up of temporary files found.
struct LeftoverCleanup {
    int removed = 0;
    std::vector<std::string> kept;  // names whose writer may still be alive
    std::string message;            // names the kept files; empty when none had to be kept
};

/// The process id in the name of a writer's temporary file ("データコピー.4711-2.txt", "設定.txt.4711-1.tmp" give
/// 4711); 0 for any other name.
long temporary_writer_pid(std::string_view name);

/// True while process `pid` may still be writing its temporary file (never for this process, which cleans up).
bool writer_alive(long pid);

/// Removes the temporary files that writers killed part-way left in the data folder, in "backup/" and beside the
/// real file of every data file that is a link (where its writer puts the temporary file): every file
/// named like a writer's temporary file whose process is gone. The caller holds the folder's WriterLock, so no
/// writer of this folder runs; a file whose process is alive all the same (another machine's, or a reused process
/// id) is kept and named in the message.
LeftoverCleanup remove_dead_writers_temporaries(const DataDir& dir);

}  // namespace sora
