#include "core/files/own_writes.h"

#include <map>
#include <mutex>
#include <string>

namespace sora {
namespace {

struct OwnWrites {
    std::mutex mutex;
    std::map<std::string, FileStamp> last;
};

OwnWrites& own_writes() {
    static OwnWrites writes;
    return writes;
}

std::string key_of(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute).lexically_normal().string();
}

}  // namespace

void note_own_write(const std::filesystem::path& path) {
    const FileStamp stamp = stamp_of(path);
    OwnWrites& writes = own_writes();
    const std::lock_guard<std::mutex> lock(writes.mutex);
    writes.last[key_of(path)] = stamp;
}

bool is_own_write(const std::filesystem::path& path, const FileStamp& stamp) {
    OwnWrites& writes = own_writes();
    const std::lock_guard<std::mutex> lock(writes.mutex);
    const auto it = writes.last.find(key_of(path));
    return it != writes.last.end() && it->second == stamp;
}

}  // namespace sora
