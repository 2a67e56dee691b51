#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace sora {

/// A text of an imported row that is mostly empty (a note, a problem, a remark): one pointer wide, and nothing on
/// the heap while empty. A file of a million rows holds a million of each, so std::string's 32 bytes count.
class RowText {
public:
    RowText() = default;
    RowText(std::string_view text) { assign(text); }  // NOLINT(google-explicit-constructor): a text like any other
    RowText(const std::string& text) : RowText(std::string_view(text)) {}  // NOLINT(google-explicit-constructor)
    RowText(const char* text) : RowText(std::string_view(text)) {}         // NOLINT(google-explicit-constructor)
    RowText(const RowText& other) : RowText(other.view()) {}
    RowText(RowText&&) noexcept = default;
    RowText& operator=(const RowText& other) {
        if (this != &other) {
            assign(other.view());
        }
        return *this;
    }
    RowText& operator=(RowText&&) noexcept = default;

    std::string_view view() const {
        return m_data ? std::string_view(m_data.get() + sizeof(std::uint32_t), size()) : std::string_view();
    }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    std::string str() const { return std::string(view()); }
    bool empty() const { return !m_data; }
    std::size_t size() const;
    void clear() { m_data.reset(); }

    friend bool operator==(const RowText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const RowText& a, const char* b) { return a.view() == std::string_view(b); }
    friend std::string operator+(const RowText& a, std::string_view b) { return a.str().append(b); }
    friend std::string operator+(std::string a, const RowText& b) { return a.append(b.view()); }
    friend std::ostream& operator<<(std::ostream& out, const RowText& text);

private:
    void assign(std::string_view text);

    std::unique_ptr<char[]> m_data;  // the length (4 bytes), then the text
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
