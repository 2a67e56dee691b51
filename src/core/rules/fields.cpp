#include "core/rules/fields.h"

#include "core/files/text_codec.h"

namespace sora {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

void split_fields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t pos = 0;
    while (true) {
        while (pos < line.size() && is_blank(line[pos])) {
            ++pos;
        }
        if (pos < line.size() && line[pos] == '"') {
            // A quoted text runs to the next quote; an unclosed quote runs to the end of the line.
            const std::size_t close = line.find('"', pos + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            fields.push_back(line.substr(pos + 1, end - pos - 1));
            // Whatever stands between the closing quote and the next comma is not part of the text.
            const std::size_t comma = close == std::string_view::npos ? close : line.find(',', close + 1);
            pos = comma == std::string_view::npos ? line.size() : comma;
        } else {
            const std::size_t start = pos;
            const std::size_t comma = line.find(',', pos);
            pos = comma == std::string_view::npos ? line.size() : comma;
            std::size_t end = pos;
            while (end > start && is_blank(line[end - 1])) {
                --end;
            }
            fields.push_back(line.substr(start, end - start));
        }
        if (pos >= line.size()) {
            return;
        }
        ++pos;  // past the comma
    }
}

std::vector<std::string> split_fields(std::string_view line) {
    std::vector<std::string_view> views;
    split_fields(line, views);
    return {views.begin(), views.end()};
}

std::string quoted(std::string_view text) {
    // Built by appending: g++ 12 warns falsely (-Wrestrict) on "\"" + std::string&&.
    std::string field;
    field.reserve(text.size() + 2);
    field += '"';
    field += replace_double_quotes(text);
    field += '"';
    return field;
}

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        std::size_t end = lf;
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back(text.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

}  // namespace sora
