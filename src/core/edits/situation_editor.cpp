#include "core/edits/situation_editor.h"

#include <cstddef>

namespace sora {

namespace {

bool in_list(const std::vector<std::string>& items, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < items.size();
}

}  // namespace

std::optional<std::vector<std::string>> drag_situation(const std::vector<std::string>& items, int from, int to) {
    // Dropping on the next item would put the item back where it was, so it counts as no move.
    if (!in_list(items, from) || !in_list(items, to) || to == from || to == from + 1) {
        return std::nullopt;
    }
    std::vector<std::string> moved = items;
    std::string text = std::move(moved[static_cast<std::size_t>(from)]);
    moved.erase(moved.begin() + from);
    moved.insert(moved.begin() + to, std::move(text));
    return moved;
}

std::optional<std::vector<std::string>> remove_situation(const std::vector<std::string>& items, int index) {
    if (!in_list(items, index)) {
        return std::nullopt;
    }
    std::vector<std::string> rest = items;
    rest.erase(rest.begin() + index);
    return rest;
}

}  // namespace sora
