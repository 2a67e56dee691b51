#include "core/import/local_clock.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

namespace sora {
namespace {

constexpr std::int64_t Earliest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Latest = std::numeric_limits<std::int64_t>::max();
constexpr std::size_t MaxZoneFileBytes = 256 * 1024;  // a zone's file is a few kilobytes

/// The file the C library reads the zone from: TZ unset is /etc/localtime, a name is looked up under TZDIR.
/// nullopt for an empty TZ (UTC without a file).
std::optional<std::string> zone_file() {
    const char* tz = std::getenv("TZ");
    if (tz == nullptr) {
        return std::string("/etc/localtime");
    }
    std::string_view name = tz;
    if (name.starts_with(':')) {
        name.remove_prefix(1);
    }
    if (name.empty()) {
        return std::nullopt;
    }
    if (name.front() == '/') {
        return std::string(name);
    }
    const char* dir = std::getenv("TZDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo") + "/" + std::string(name);
}

std::uint32_t be32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

/// A zone rule that never changes the offset: a name ("JST" or "<+09>") and an offset, no summer time after it.
bool without_summer_time(std::string_view rule) {
    std::size_t i = 0;
    if (rule.starts_with('<')) {
        i = rule.find('>');
        if (i == std::string_view::npos) {
            return false;
        }
        ++i;
    } else {
        while (i < rule.size() && ((rule[i] >= 'A' && rule[i] <= 'Z') || (rule[i] >= 'a' && rule[i] <= 'z'))) {
            ++i;
        }
        if (i < 3) {
            return false;
        }
    }
    if (i < rule.size() && (rule[i] == '+' || rule[i] == '-')) {
        ++i;
    }
    const std::size_t digits = i;
    while (i < rule.size() && ((rule[i] >= '0' && rule[i] <= '9') || rule[i] == ':')) {
        ++i;
    }
    return i > digits && i == rule.size();
}

std::optional<long> offset_at(std::int64_t t) {
    const std::time_t seconds = static_cast<std::time_t>(t);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::nullopt;
    }
    return local.tm_gmtoff;
}

DateTime with_offset(std::int64_t t, long offset) {
    const std::int64_t local = t + offset;
    std::int64_t days = local / 86400;
    std::int64_t seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    return {Date::from_serial(days), static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
            static_cast<int>(seconds % 60)};
}

}  // namespace

void LocalClock::loadTransitions() {
    m_loaded = true;
    tzset();  // the C library takes up a TZ changed since it last looked, as the file below is read from it
    const std::optional<std::string> path = zone_file();
    if (!path) {
        return;
    }
    std::ifstream in(*path, std::ios::binary);
    std::string bytes;
    bytes.resize(MaxZoneFileBytes + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    // Version 2 and later: the first block has 32-bit times, the second (read here) 64-bit ones.
    constexpr std::size_t Header = 44;
    if (size > MaxZoneFileBytes || size < Header || std::memcmp(data, "TZif", 4) != 0 || data[4] < '2') {
        return;
    }
    const auto counts = [&](std::size_t at, std::size_t(&c)[6]) {
        for (std::size_t i = 0; i < 6; ++i) {
            c[i] = be32(data + at + 20 + 4 * i);  // UT/local, standard/wall, leap, transitions, types, characters
        }
    };
    std::size_t c[6];
    counts(0, c);
    const std::size_t second = Header + c[3] * 5 + c[4] * 6 + c[5] + c[2] * 8 + c[1] + c[0];
    if (second + Header > size || std::memcmp(data + second, "TZif", 4) != 0) {
        return;
    }
    counts(second, c);
    const std::size_t transitions = second + Header;
    const std::size_t footer = transitions + c[3] * 9 + c[4] * 6 + c[5] + c[2] * 12 + c[1] + c[0];
    // Leap seconds make the clock more than an offset: leave such zones to the C library.
    if (c[2] != 0 || footer >= size || data[footer] != '\n') {
        return;
    }
    for (std::size_t i = 0; i < c[3]; ++i) {
        const unsigned char* p = data + transitions + 8 * i;
        m_transitions.push_back(static_cast<std::int64_t>(static_cast<std::uint64_t>(be32(p)) << 32 | be32(p + 4)));
    }
    if (!std::is_sorted(m_transitions.begin(), m_transitions.end())) {
        m_transitions.clear();
        return;
    }
    const std::size_t ruleEnd = bytes.find('\n', footer + 1);
    if (ruleEnd == std::string::npos) {
        return;
    }
    m_constantAfter = without_summer_time(std::string_view(bytes).substr(footer + 1, ruleEnd - footer - 1));
    m_usable = true;
}

std::optional<LocalClock::Span> LocalClock::spanOf(std::int64_t t) const {
    const auto next = std::upper_bound(m_transitions.begin(), m_transitions.end(), t);
    if (next == m_transitions.end() && !m_constantAfter) {
        return std::nullopt;
    }
    return Span{next == m_transitions.begin() ? Earliest : *std::prev(next),
                next == m_transitions.end() ? Latest : *next, 0};
}

DateTime LocalClock::at(long long unixSeconds) {
    const std::int64_t t = unixSeconds;
    if (m_span && t >= m_span->from && t < m_span->until) {
        return with_offset(t, m_span->offset);
    }
    if (!m_loaded) {
        loadTransitions();
    }
    const std::time_t seconds = static_cast<std::time_t>(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    if (m_usable) {
        std::optional<Span> span = spanOf(t);
        if (span) {
            span->offset = local.tm_gmtoff;
            // The C library must give the same offset at both ends of the span and a season apart within it, or
            // the zone it loaded is not this file (TZDIR changed, or the file replaced, since it loaded it).
            const auto agrees_at = [&](std::int64_t moment) {
                return moment < span->from || moment >= span->until || offset_at(moment) == span->offset;
            };
            bool agrees = (span->from == Earliest || agrees_at(span->from)) &&
                          (span->until == Latest || agrees_at(span->until - 1));
            constexpr std::int64_t Season = 91 * 86400;
            for (std::int64_t k = 1; k <= 4 && agrees; ++k) {
                agrees = agrees_at(t - k * Season) && agrees_at(t + k * Season);
            }
            m_usable = agrees;
            m_span = agrees ? span : std::nullopt;
        }
    }
    return date_time_of(local);
}

}  // namespace sora
