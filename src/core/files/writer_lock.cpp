#include "core/files/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

namespace sora {
namespace {

struct Held {
    int fd = -1;
    int depth = 0;
};

std::mutex g_mutex;
// flock belongs to an open file description: a second flock of the same folder from this process would wait for
// itself, so nested locks count on the first one.
std::map<std::string, Held> g_held;

std::string key_of(const std::filesystem::path& dir) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(dir, ec);
    return (ec ? dir : canonical).string();
}

}  // namespace

std::string folder_in_use_message(const std::filesystem::path& dir) {
    return "データフォルダ「" + dir.string() +
           "」は別のソラノート＋が使用中です。\r\n同じ日記を二つの画面から書き換えると記録が失われるため、保存できませ"
           "ん。";
}

std::string second_copy_message(const std::filesystem::path& dir) {
    return "データフォルダ「" + dir.string() +
           "」は別のソラノート＋が使用中です。\r\n同じ日記を二つの画面から書き換えると記録が失われるため、このソラノー"
           "ト"
           "＋は起動しません。\r\n先に開いているソラノート＋をお使いください。";
}

WriterLock::WriterLock(const std::filesystem::path& dir, std::chrono::milliseconds wait) : m_key(key_of(dir)) {
    std::lock_guard guard(g_mutex);
    if (auto it = g_held.find(m_key); it != g_held.end()) {
        ++it->second.depth;
        m_held = true;
        return;
    }
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_message = "データフォルダ「" + dir.string() + "」を開けませんでした。";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            g_held[m_key] = Held{fd, 1};
            m_held = true;
            return;
        }
        const bool heldElsewhere = errno == EWOULDBLOCK || errno == EINTR;
        if (!heldElsewhere || std::chrono::steady_clock::now() >= deadline) {
            m_busy = heldElsewhere;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(fd);
    m_message = folder_in_use_message(dir);
}

WriterLock::~WriterLock() {
    if (!m_held) {
        return;
    }
    std::lock_guard guard(g_mutex);
    auto it = g_held.find(m_key);
    if (it != g_held.end() && --it->second.depth == 0) {
        ::close(it->second.fd);  // closing the last descriptor releases the flock
        g_held.erase(it);
    }
}

}  // namespace sora
