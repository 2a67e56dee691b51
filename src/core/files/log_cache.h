#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/files/data_dir.h"
#include "core/files/file_io.h"
#include "core/files/measurement_log.h"
#include "core/rules/measurement_record.h"

namespace sora {

/// The log's records as one read gave them, shared by whoever shows them.
struct SharedLog {
    std::shared_ptr<const std::vector<MeasurementRecord>> records;  // never null; empty after a failed read
    bool ok = true;
    std::string message;  // why the read failed, with file and line
    FileStamp stamp;      // the file the records came from
};

/// The log read once for every screen: a screen that opens gets the records of the last read as long as the file
/// is still that file (device, inode, size, modification and change times), else the log is read again. So the
/// screens of a long diary hold one copy of its records between them, not one each.
class LogCache {
public:
    explicit LogCache(DataDir dir) : m_log(std::move(dir)) {}

    /// The records of the log as the file is now. A failed read is never kept.
    SharedLog read();

private:
    MeasurementLog m_log;
    SharedLog m_last;
};

}  // namespace sora
