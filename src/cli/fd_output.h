#pragma once

#include <array>
#include <streambuf>

namespace cli {

/// An output buffer over a file descriptor that remembers why a write failed: a stream says only that it failed,
/// and the command line must tell the user the reason (a full disk, a closed pipe).
class FdOutput : public std::streambuf {
public:
    explicit FdOutput(int fd) : m_fd(fd) { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }
    ~FdOutput() override { sync(); }
    FdOutput(const FdOutput&) = delete;
    FdOutput& operator=(const FdOutput&) = delete;

    /// The errno of the first failed write; 0 while every write went through.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    int m_fd;
    int m_error = 0;
    std::array<char, 65536> m_buffer{};
};

}  // namespace cli
