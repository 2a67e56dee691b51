#pragma once

#include <cstdint>

namespace sora {

/// The longest piece of XML between two events of the parser (a tag with its attributes, a comment, a run of text
/// is reported in pieces): a record of a health export is a few hundred bytes. A longer one is refused, so that
/// the time stays linear and the parser's buffer small whatever the file.
inline constexpr std::int64_t MaxXmlTokenBytes = 1 << 20;

/// What an entry of a ZIP may expand to: a health export compresses about twentyfold, so a hundredfold is
/// generous; never more than MaxZipExpandedBytes (decades of minute-by-minute heart rates are a few GB), never less
/// than MinZipAllowanceBytes (a tiny export has headers that compress better).
inline constexpr std::uint64_t ZipRatioAllowed = 100;
inline constexpr std::uint64_t MaxZipExpandedBytes = 8ull << 30;
inline constexpr std::uint64_t MinZipAllowanceBytes = 16ull << 20;

/// The bytes an entry of `compressed` bytes may expand to.
constexpr std::uint64_t zip_expansion_allowed(std::uint64_t compressed) {
    const std::uint64_t byRatio =
        compressed > MaxZipExpandedBytes / ZipRatioAllowed ? MaxZipExpandedBytes : compressed * ZipRatioAllowed;
    const std::uint64_t floor = byRatio < MinZipAllowanceBytes ? MinZipAllowanceBytes : byRatio;
    return floor > MaxZipExpandedBytes ? MaxZipExpandedBytes : floor;
}

}  // namespace sora
