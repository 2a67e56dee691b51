#include "core/import/row_text.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace sora {

std::size_t RowText::size() const {
    std::uint32_t length = 0;
    if (m_data) {
        std::memcpy(&length, m_data.get(), sizeof length);
    }
    return length;
}

void RowText::assign(std::string_view text) {
    if (text.empty()) {
        m_data.reset();
        return;
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    m_data = std::make_unique_for_overwrite<char[]>(sizeof length + text.size());
    std::memcpy(m_data.get(), &length, sizeof length);
    std::memcpy(m_data.get() + sizeof length, text.data(), text.size());
}

std::ostream& operator<<(std::ostream& out, const RowText& text) {
    return out << text.view();
}

void ClockText::assign(std::string_view text) {
    m_size = static_cast<std::uint8_t>(std::min(text.size(), Capacity));
    std::copy_n(text.data(), m_size, m_chars.data());
}

std::ostream& operator<<(std::ostream& out, const ClockText& text) {
    return out << text.view();
}

}  // namespace sora
