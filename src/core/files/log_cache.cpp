#include "core/files/log_cache.h"

#include <utility>

namespace sora {

SharedLog LogCache::read() {
    if (m_last.records && stamp_of(m_log.dir().find(files::Log)) == m_last.stamp) {
        return m_last;
    }
    LogReadResult read = m_log.read_all();
    SharedLog log;
    log.ok = read.ok;
    log.message = std::move(read.message);
    log.stamp = read.stamp;
    if (!read.ok) {
        read.records.clear();  // nothing read in part is ever shown
    }
    log.records = std::make_shared<const std::vector<MeasurementRecord>>(std::move(read.records));
    m_last = log.ok && log.stamp.exists ? log : SharedLog{};
    return log;
}

}  // namespace sora
