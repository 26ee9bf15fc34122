#pragma once
// A hash index beside a numbered table whose lookups must behave like a scan from
// number 1 upward: for every key it keeps all numbers that carry it, and answers with
// the lowest. Tables stay the owners of their records and tell the index about every
// key they store, change or drop.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace kavex {

template <class Key, class Hash = std::hash<Key>> class FirstMatchIndex {
  public:
    void clear() { map_.clear(); }
    void reserve(std::size_t keys) { map_.reserve(keys); }

    void add(const Key& key, int32_t number) {
        auto [it, inserted] = map_.try_emplace(key);
        Numbers& n = it->second;
        if (inserted) {
            n.first = number;
        } else if (number < n.first) {
            n.more.insert(n.more.begin(), n.first);
            n.first = number;
        } else {
            n.more.insert(std::upper_bound(n.more.begin(), n.more.end(), number), number);
        }
    }

    void remove(const Key& key, int32_t number) {
        auto it = map_.find(key);
        if (it == map_.end()) return;
        Numbers& n = it->second;
        if (n.first == number) {
            if (n.more.empty()) {
                map_.erase(it);
                return;
            }
            n.first = n.more.front();
            n.more.erase(n.more.begin());
        } else {
            auto pos = std::lower_bound(n.more.begin(), n.more.end(), number);
            if (pos != n.more.end() && *pos == number) n.more.erase(pos);
        }
    }

    // The lowest number stored under the key; 0 when none.
    int32_t first(const Key& key) const {
        auto it = map_.find(key);
        return it == map_.end() ? 0 : it->second.first;
    }

  private:
    // Most keys are unique, so the first number lives inline and duplicates go aside.
    struct Numbers {
        int32_t first = 0;
        std::vector<int32_t> more; // ascending, all above `first`
    };
    std::unordered_map<Key, Numbers, Hash> map_;
};

} // namespace kavex
