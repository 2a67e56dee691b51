#include "core/import/row_text.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <ostream>

namespace sora {

void RowText::assign(std::string_view text) {
    release();
    m_block = nullptr;
    if (text.empty()) {
        return;
    }
    void* memory = ::operator new(sizeof(Block) + text.size());
    m_block = new (memory) Block{{1}, static_cast<std::uint32_t>(text.size())};
    std::memcpy(m_block->text(), text.data(), text.size());
}

void RowText::retain() const {
    if (m_block) {
        m_block->sharers.fetch_add(1, std::memory_order_relaxed);
    }
}

void RowText::release() {
    if (m_block && m_block->sharers.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        m_block->~Block();
        ::operator delete(m_block);
    }
}

RowText SharedRowTexts::operator()(std::string_view text) {
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        it = m_texts.emplace(std::string(text), RowText(text)).first;
    }
    return it->second;
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
