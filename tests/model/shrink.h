// Delta debugging for failing command sequences.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// The sequence left when removing any further item, alone or in a chunk, would no longer
// fail: chunks of half the length first, then smaller ones, down to single items.
template <typename Item, typename Fails>
std::vector<Item> Shrink(std::vector<Item> items, Fails fails)
{
    for (std::size_t chunk = items.size() / 2; chunk >= 1; chunk /= 2) {
        bool removedAny = true;
        while (removedAny) {
            removedAny = false;
            for (std::size_t start = 0; start < items.size();) {
                std::vector<Item> tried(items.begin(), items.begin() + static_cast<long>(start));
                const std::size_t end = start + chunk < items.size() ? start + chunk : items.size();
                tried.insert(tried.end(), items.begin() + static_cast<long>(end), items.end());
                if (fails(tried)) {
                    items = std::move(tried);
                    removedAny = true;
                } else {
                    start += chunk;
                }
            }
            if (chunk > 1)
                break;  // smaller chunks catch what is left
        }
    }
    return items;
}

// Then each item is replaced by the first of its simpler forms that still fails, for as
// long as one does. simpler(item) lists forms strictly simpler than item, so this ends.
template <typename Item, typename Fails, typename Simpler>
std::vector<Item> Simplify(std::vector<Item> items, Fails fails, Simpler simpler)
{
    for (bool simplified = true; simplified;) {
        simplified = false;
        for (std::size_t at = 0; at < items.size(); ++at) {
            for (Item &candidate : simpler(items[at])) {
                std::vector<Item> tried = items;
                tried[at] = std::move(candidate);
                if (fails(tried)) {
                    items = std::move(tried);
                    simplified = true;
                    break;
                }
            }
        }
    }
    return items;
}
