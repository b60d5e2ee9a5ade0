#pragma once
// The order in which a module search tries baud/parity pairs: parity steps fastest, then baud.
// A first pass runs from the start pair to the last baud item; a second pass runs from the first
// baud item up to and including the selected baud item. Started fresh from baud item b and parity
// item p with b selected, the search tries all pairs, and (b, p) to (b, last) twice.

#include <cstdint>
#include <vector>

namespace protocol {

// Steps the cursor to the next pair. `wrapped` is false during the first pass and becomes true when
// the first pass passes the last baud item. False when the second pass has passed selectedBaudItem:
// the search is exhausted (baudItem is then 0). The item counts come from the caller's lists.
bool AdvanceSearchCursor(std::uint8_t& baudItem, std::uint8_t& parityItem, bool& wrapped, std::uint8_t selectedBaudItem,
                         int baudItems, int parityItems);

struct SearchPair {
    int baudItem = 0;
    int parityItem = 0;
    bool operator==(const SearchPair&) const = default;
};

// Every pair a fresh search starting at (baudItem, parityItem) tries, in order, the start pair first.
std::vector<SearchPair> SearchPairs(int baudItem, int parityItem, int baudItems, int parityItems);

}  // namespace protocol
