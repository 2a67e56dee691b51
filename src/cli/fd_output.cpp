#include "cli/fd_output.h"

#include <unistd.h>

#include <cerrno>

namespace cli {

bool FdOutput::drain() {
    const char* p = pbase();
    while (p < pptr() && m_error == 0) {
        const ssize_t n = ::write(m_fd, p, static_cast<std::size_t>(pptr() - p));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            break;
        }
        p += n;
    }
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_error == 0;
}

FdOutput::int_type FdOutput::overflow(int_type c) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int FdOutput::sync() {
    return drain() ? 0 : -1;
}

}  // namespace cli
