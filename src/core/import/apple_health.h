#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "core/import/import_row.h"

namespace sora {

/// Gives the next bytes of a file into the buffer: how many (0 at the end), or one of the codes below.
using ByteSource = std::function<long long(char* buffer, std::size_t size)>;
inline constexpr long long SourceFailed = -1;     ///< reading failed
inline constexpr long long SourceCancelled = -2;  ///< the user stopped the reading
inline constexpr long long SourceTooLarge = -3;   ///< a compressed entry expands beyond what its size allows

/// Reads the blood-pressure correlations of an Apple Health "export.xml" as a stream (the file may be hundreds of
/// MB): systolic and diastolic from the correlation's records, the pulse from a heart-rate record of the same
/// time, the time as the phone's clock showed it (the offset in startDate is where it was). A reading listed twice
/// counts once. `fileName` names the file in messages.
ImportRead read_apple_health_xml(const ByteSource& source, const std::string& fileName);

/// The same from the "export.zip" the Health app writes (its export.xml, streamed out of the archive, never
/// expanded beyond zip_expansion_allowed). Stops with SourceCancelled's message once `cancelled` is set.
ImportRead read_apple_health_zip(const std::filesystem::path& path, const std::atomic<bool>* cancelled = nullptr);

}  // namespace sora
