#include "protocol/SearchOrder.h"

namespace protocol {

bool AdvanceSearchCursor(std::uint8_t& baudItem, std::uint8_t& parityItem, bool& wrapped, std::uint8_t selectedBaudItem,
                         int baudItems, int parityItems)
{
    parityItem += 1;
    if (parityItem < parityItems) return true;
    parityItem = 0;
    baudItem += 1;
    if (!wrapped) {
        if (baudItem < baudItems) return true;
        baudItem = 0;
        wrapped = true;
        return true;
    }
    if (baudItem <= selectedBaudItem) return true;
    baudItem = 0;
    return false;
}

std::vector<SearchPair> SearchPairs(int baudItem, int parityItem, int baudItems, int parityItems)
{
    std::vector<SearchPair> pairs;
    if (baudItem < 0 || baudItem >= baudItems || parityItem < 0 || parityItem >= parityItems) return pairs;
    auto baud = static_cast<std::uint8_t>(baudItem);
    auto parity = static_cast<std::uint8_t>(parityItem);
    const std::uint8_t selected = baud;
    bool wrapped = false;
    do {
        pairs.push_back({baud, parity});
    } while (AdvanceSearchCursor(baud, parity, wrapped, selected, baudItems, parityItems));
    return pairs;
}

}  // namespace protocol
