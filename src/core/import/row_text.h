#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace sora {

/// A text of an imported row that is mostly empty or the same in many rows (a note, a problem, a situation): one
/// pointer wide, nothing on the heap while empty, and copies share one block. A file of a million rows holds a
/// million of each, so std::string's 32 bytes and a block per row count.
class RowText {
public:
    RowText() = default;
    RowText(std::string_view text) { assign(text); }  // NOLINT(google-explicit-constructor): a text like any other
    RowText(const std::string& text) : RowText(std::string_view(text)) {}  // NOLINT(google-explicit-constructor)
    RowText(const char* text) : RowText(std::string_view(text)) {}         // NOLINT(google-explicit-constructor)
    RowText(const RowText& other) noexcept : m_block(other.m_block) { retain(); }
    RowText(RowText&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    RowText& operator=(const RowText& other) noexcept {
        RowText copy(other);
        std::swap(m_block, copy.m_block);
        return *this;
    }
    RowText& operator=(RowText&& other) noexcept {
        std::swap(m_block, other.m_block);
        return *this;
    }
    ~RowText() {
        if (m_block != nullptr) {
            release();
        }
    }

    std::string_view view() const {
        return m_block ? std::string_view(m_block->text(), m_block->size) : std::string_view();
    }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    std::string str() const { return std::string(view()); }
    bool empty() const { return m_block == nullptr; }
    std::size_t size() const { return view().size(); }
    void clear() {
        release();
        m_block = nullptr;
    }

    friend bool operator==(const RowText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const RowText& a, const char* b) { return a.view() == std::string_view(b); }
    friend std::string operator+(const RowText& a, std::string_view b) { return a.str().append(b); }
    friend std::string operator+(std::string a, const RowText& b) { return a.append(b.view()); }
    friend std::ostream& operator<<(std::ostream& out, const RowText& text);

private:
    struct Block {
        std::atomic<std::uint32_t> sharers;  // atomic: a file read in the background is shown by the window's thread
        std::uint32_t size;

        char* text() { return reinterpret_cast<char*>(this + 1); }
    };

    void assign(std::string_view text);
    void retain() const;
    void release();

    Block* m_block = nullptr;  // the count of sharers and the length, then the text
};

/// Equal texts of a file as one shared RowText each: the situations of our own export repeat on every row.
class SharedRowTexts {
public:
    RowText operator()(std::string_view text);

private:
    std::map<std::string, RowText, std::less<>> m_texts;
};

/// A time of day as the import writes it, "h:mm:ss" or "hh:mm:ss", kept in the row itself: nearly every row of a
/// file has one, and a heap block for each would cost more than the row.
class ClockText {
public:
    static constexpr std::size_t Capacity = 8;

    ClockText() = default;
    /// Texts longer than a time of day are cut: callers check the form first.
    ClockText(std::string_view text) { assign(text); }                         // NOLINT(google-explicit-constructor)
    ClockText(const std::string& text) : ClockText(std::string_view(text)) {}  // NOLINT(google-explicit-constructor)
    ClockText(const char* text) : ClockText(std::string_view(text)) {}         // NOLINT(google-explicit-constructor)
    /// A time laid out in a buffer of the capacity: taken whole, without a copy of a length known only at run time.
    ClockText(const std::array<char, Capacity>& chars, std::size_t size)
        : m_chars(chars), m_size(static_cast<std::uint8_t>(std::min(size, Capacity))) {}

    std::string_view view() const { return {m_chars.data(), m_size}; }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    std::string str() const { return std::string(view()); }
    bool empty() const { return m_size == 0; }
    void clear() { m_size = 0; }

    friend bool operator==(const ClockText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const ClockText& a, const char* b) { return a.view() == std::string_view(b); }
    friend std::string operator+(std::string a, const ClockText& b) { return a.append(b.view()); }
    friend std::ostream& operator<<(std::ostream& out, const ClockText& text);

private:
    void assign(std::string_view text);

    std::array<char, Capacity> m_chars{};
    std::uint8_t m_size = 0;
};

}  // namespace sora
