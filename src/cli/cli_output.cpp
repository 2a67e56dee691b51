#include "cli/cli_view.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
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
void write_line(std::ostringstream& out, const Cells& cells, Text text) {
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

}  // namespace

std::string hex_colour(const sora::Colour& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.r, colour.g, colour.b);
    return text;
}

std::string to_text(const CliView& view) {
    std::ostringstream out;
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
    return out.str();
}

std::string to_json(const CliView& view) {
    using nlohmann::json;
    json columns = json::array();
    for (const sora::GridColumn& column : view.grid.columns) {
        columns.push_back(
            {{"heading", column.heading}, {"widthTwips", column.widthTwips}, {"align", align_name(column.align)}});
    }
    json rows = json::array();
    for (const sora::GridRow& row : view.grid.rows) {
        json cells = json::array();
        for (const sora::GridCell& cell : row) {
            cells.push_back({{"text", cell.text},
                             {"colour", cell.background ? json(hex_colour(*cell.background)) : json(nullptr)}});
        }
        rows.push_back(std::move(cells));
    }
    json chartRows = json::array();
    for (const auto& row : view.chartRows) {
        json values = json::array();
        for (double value : row) {
            values.push_back(std::isnan(value) ? json(nullptr) : json(value));
        }
        chartRows.push_back(std::move(values));
    }
    json axes = json::object();
    for (const NamedAxis& axis : view.axes) {
        axes[axis.name] = {
            {"minimum", axis.range.minimum}, {"maximum", axis.range.maximum}, {"divisions", axis.range.divisions}};
    }
    json values = json::object();
    for (const auto& [name, value] : view.values) {
        values[name] = value;
    }
    const json whole = {
        {"command", view.command},
        {"grid",
         {{"columns", columns},
          {"rows", rows},
          {"topRow", view.grid.topRow ? json(*view.grid.topRow) : json(nullptr)}}},
        {"chart", {{"series", view.chartSeries}, {"rows", chartRows}}},
        {"axes", axes},
        {"values", values},
    };
    return whole.dump(2) + "\n";
}

}  // namespace cli
