#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/files/data_dir.h"
#include "core/rules/measurement_record.h"

namespace cli {

/// `conflicts`: the conflict copies sync tools left in the data folder, and for each copy of the log the readings it
/// holds that the log lacks, as text or JSON. Writes nothing. `args` are the words after "conflicts".
int run_conflicts(const std::vector<std::string>& args, const sora::DataDir& dir,
                  const std::vector<sora::MeasurementRecord>& records, bool json, std::ostream& out, std::ostream& err);

}  // namespace cli
