#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sora {

/// The situation list after the item at `from` was dragged and released on the item at `to`: the item is taken
/// out and put in at `to` of the shortened list. nullopt when the drop changes nothing: on the item itself, on
/// the next item below it, or on a position outside the list.
std::optional<std::vector<std::string>> drag_situation(const std::vector<std::string>& items, int from, int to);

/// The list without the item at `index`; nullopt when there is no such item (nothing selected).
std::optional<std::vector<std::string>> remove_situation(const std::vector<std::string>& items, int index);

}  // namespace sora
