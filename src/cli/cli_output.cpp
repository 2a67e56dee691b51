#include "cli/cli_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "core/rules/numbers.h"

namespace cli {
namespace {

std::string number_text(double value) {
    return std::isnan(value) ? std::string() : sora::format_number(value);
}

const char* align_name(sora::Align align) {
    switch (align) {
        case sora::Align::Left:
            return "left";
        case sora::Align::Centre:
            return "centre";
        case sora::Align::Right:
            return "right";
    }
    return "right";
}

template <typename Cells, typename Text>
void write_line(std::ostream& out, const Cells& cells, Text text) {
    bool first = true;
    for (const auto& cell : cells) {
        if (!first) {
            out << '\t';
        }
        out << text(cell);
        first = false;
    }
    out << '\n';
}

/// One JSON value as text (strings escaped as JSON requires, numbers as nlohmann writes them).
template <typename T>
std::string json_text(const T& value) {
    return nlohmann::json(value).dump();
}

std::string json_number(double value) {
    return std::isnan(value) ? std::string("null") : json_text(value);
}

/// Writes `items` as a JSON array, one item per line, each written by `item`: nothing is built whole in memory.
template <typename Items, typename Item>
void write_array(std::ostream& out, const Items& items, const char* indent, Item item) {
    out << '[';
    bool first = true;
    for (const auto& each : items) {
        out << (first ? "\n" : ",\n") << indent << "  ";
        item(each);
        first = false;
    }
    out << (first ? "]" : std::string("\n") + indent + "]");
}

}  // namespace

std::string hex_colour(const sora::Colour& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.r, colour.g, colour.b);
    return text;
}

void write_text(const CliView& view, std::ostream& out) {
    write_line(out, view.grid.columns, [](const sora::GridColumn& column) { return column.heading; });
    for (const sora::GridRow& row : view.grid.rows) {
        write_line(out, row, [](const sora::GridCell& cell) { return cell.text; });
    }
    out << "colours\n";
    for (const sora::GridRow& row : view.grid.rows) {
        write_line(out, row, [](const sora::GridCell& cell) {
            return cell.background ? hex_colour(*cell.background) : std::string();
        });
    }
    if (!view.chartSeries.empty()) {
        out << "chart\n";
        write_line(out, view.chartSeries, [](const std::string& name) { return name; });
        for (const auto& row : view.chartRows) {
            write_line(out, row, number_text);
        }
    }
    for (const NamedAxis& axis : view.axes) {
        out << axis.name << ".minimum\t" << sora::format_number(axis.range.minimum) << '\n';
        out << axis.name << ".maximum\t" << sora::format_number(axis.range.maximum) << '\n';
        out << axis.name << ".divisions\t" << axis.range.divisions << '\n';
    }
    if (view.grid.topRow) {
        out << "topRow\t" << *view.grid.topRow << '\n';
    }
    for (const auto& [name, value] : view.values) {
        out << name << '\t' << value << '\n';
    }
}

std::string to_text(const CliView& view) {
    std::ostringstream out;
    write_text(view, out);
    return out.str();
}

void write_json(const CliView& view, std::ostream& out) {
    out << "{\n  \"command\": " << json_text(view.command) << ",\n  \"grid\": {\n    \"columns\": ";
    write_array(out, view.grid.columns, "    ", [&](const sora::GridColumn& column) {
        out << "{\"heading\": " << json_text(column.heading) << ", \"widthTwips\": " << column.widthTwips
            << ", \"align\": " << json_text(align_name(column.align)) << '}';
    });
    out << ",\n    \"rows\": ";
    write_array(out, view.grid.rows, "    ", [&](const sora::GridRow& row) {
        out << '[';
        bool first = true;
        for (const sora::GridCell& cell : row) {
            out << (first ? "" : ", ") << "{\"text\": " << json_text(cell.text)
                << ", \"colour\": " << (cell.background ? json_text(hex_colour(*cell.background)) : std::string("null"))
                << '}';
            first = false;
        }
        out << ']';
    });
    out << ",\n    \"topRow\": " << (view.grid.topRow ? std::to_string(*view.grid.topRow) : std::string("null"))
        << "\n  },\n  \"chart\": {\n    \"series\": " << json_text(view.chartSeries) << ",\n    \"rows\": ";
    write_array(out, view.chartRows, "    ", [&](const std::vector<double>& row) {
        out << '[';
        for (std::size_t i = 0; i < row.size(); ++i) {
            out << (i == 0 ? "" : ", ") << json_number(row[i]);
        }
        out << ']';
    });
    out << "\n  },\n  \"axes\": {";
    for (std::size_t i = 0; i < view.axes.size(); ++i) {
        const NamedAxis& axis = view.axes[i];
        out << (i == 0 ? "\n    " : ",\n    ") << json_text(axis.name)
            << ": {\"minimum\": " << json_text(axis.range.minimum) << ", \"maximum\": " << json_text(axis.range.maximum)
            << ", \"divisions\": " << axis.range.divisions << '}';
    }
    out << (view.axes.empty() ? "}" : "\n  }") << ",\n  \"values\": {";
    // Later values of one name win, as in a JSON object built one by one.
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& [name, value] : view.values) {
        const auto same = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == name; });
        if (same == values.end()) {
            values.emplace_back(name, value);
        } else {
            same->second = value;
        }
    }
    std::sort(values.begin(), values.end());
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i == 0 ? "\n    " : ",\n    ") << json_text(values[i].first) << ": " << json_text(values[i].second);
    }
    out << (values.empty() ? "}" : "\n  }") << "\n}\n";
}

std::string to_json(const CliView& view) {
    std::ostringstream out;
    write_json(view, out);
    return out.str();
}

}  // namespace cli
