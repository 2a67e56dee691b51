#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/clock.h"

namespace sora {

/// This computer's local time of Unix timestamps, for a file with one on every row. The C library's localtime_r
/// is the authority, but in a zone whose rule has no summer time (Asia/Tokyo, UTC) it parses the zone's rule text
/// on every call. So each answer of localtime_r is kept together with the span between the zone's transitions that
/// holds it (read from the zone's file), and a later moment in the same span is worked out from the same offset.
/// Where the zone's file cannot be read or does not agree with the C library (at the span's ends and a season
/// apart within it), every moment goes to localtime_r.
class LocalClock {
public:
    DateTime at(long long unixSeconds);

private:
    /// The span of the last answer, [from, until), and its offset from UTC in seconds.
    struct Span {
        std::int64_t from;
        std::int64_t until;
        long offset;
    };

    void loadTransitions();
    /// The span between transitions that holds `t`; nullopt where only the C library knows (summer-time rules).
    std::optional<Span> spanOf(std::int64_t t) const;

    bool m_loaded = false;
    bool m_usable = false;         ///< the zone's file was read and agrees with the C library so far
    bool m_constantAfter = false;  ///< after the last transition the offset never changes
    std::vector<std::int64_t> m_transitions;
    std::optional<Span> m_span;
};

}  // namespace sora
