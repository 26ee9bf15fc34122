#pragma once
// A hash index beside a numbered table whose lookups must behave like a scan from
// number 1 upward: for every key it keeps all numbers that carry it, and answers with
// the lowest. Tables stay the owners of their records and tell the index about every
// key they store, change or drop.
//
// Open addressing with linear probing: a lookup touches one slot array, and adding or
// removing a key allocates nothing once the array has grown. Keys carried by several
// numbers (rare) keep the numbers above the lowest in a side map.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kavex {

namespace index_hash {
inline uint64_t mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}
inline uint64_t of(int64_t key) {
    return mix(static_cast<uint64_t>(key));
}
inline uint64_t of(std::string_view key) {
    if (key.size() == 8) { // the fixed-width ids: one word
        uint64_t word;
        std::memcpy(&word, key.data(), 8);
        return mix(word);
    }
    uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : key)
        h = (h ^ c) * 0x100000001b3ULL;
    return mix(h);
}
struct Std {
    template <class K> std::size_t operator()(const K& key) const {
        return static_cast<std::size_t>(of(key));
    }
};
} // namespace index_hash

template <class Key> class FirstMatchIndex {
  public:
    void clear() {
        slots_.clear();
        more_.clear();
        size_ = 0;
    }

    void reserve(std::size_t keys) {
        std::size_t want = 16;
        while (want < 2 * keys)
            want *= 2;
        if (want > slots_.size()) rehash(want);
    }

    void add(const Key& key, int32_t number) {
        if (2 * (size_ + 1) > slots_.size()) rehash(std::max<std::size_t>(16, 2 * slots_.size()));
        const uint64_t h = index_hash::of(key);
        std::size_t i = find(key, h);
        Slot& s = slots_[i];
        if (!s.used) {
            s = Slot{key, h, number, true, false};
            ++size_;
            return;
        }
        std::vector<int32_t>& more = more_[key];
        if (number < s.first) std::swap(number, s.first);
        more.insert(std::upper_bound(more.begin(), more.end(), number), number);
        s.hasMore = true;
    }

    void remove(const Key& key, int32_t number) {
        if (slots_.empty()) return;
        std::size_t i = find(key, index_hash::of(key));
        Slot& s = slots_[i];
        if (!s.used) return;
        if (!s.hasMore) {
            if (s.first == number) erase(i);
            return;
        }
        auto it = more_.find(key);
        std::vector<int32_t>& more = it->second;
        if (s.first == number) {
            s.first = more.front();
            more.erase(more.begin());
        } else {
            auto pos = std::lower_bound(more.begin(), more.end(), number);
            if (pos == more.end() || *pos != number) return;
            more.erase(pos);
        }
        if (more.empty()) {
            more_.erase(it);
            s.hasMore = false;
        }
    }

    // The lowest number stored under the key; 0 when none.
    template <class K> int32_t first(const K& key) const {
        if (slots_.empty()) return 0;
        const Slot& s = slots_[find(key, index_hash::of(key))];
        return s.used ? s.first : 0;
    }

    // The lowest number stored under the key that satisfies `accept`; 0 when none.
    template <class K, class Accept> int32_t firstWhere(const K& key, Accept&& accept) const {
        if (slots_.empty()) return 0;
        const Slot& s = slots_[find(key, index_hash::of(key))];
        if (!s.used) return 0;
        if (accept(s.first)) return s.first;
        if (!s.hasMore) return 0;
        for (int32_t n : more_.find(s.key)->second)
            if (accept(n)) return n;
        return 0;
    }

    // Every number stored under the key, lowest first.
    template <class K, class Visit> void forEach(const K& key, Visit&& visit) const {
        if (slots_.empty()) return;
        const Slot& s = slots_[find(key, index_hash::of(key))];
        if (!s.used) return;
        visit(s.first);
        if (!s.hasMore) return;
        for (int32_t n : more_.find(s.key)->second)
            visit(n);
    }

  private:
    struct Slot {
        Key key{};
        uint64_t hash = 0;
        int32_t first = 0;
        bool used = false;
        bool hasMore = false;
    };

    // The slot holding the key, or the free slot where it would go.
    template <class K> std::size_t find(const K& key, uint64_t h) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = static_cast<std::size_t>(h) & mask;
        while (slots_[i].used && !(slots_[i].hash == h && slots_[i].key == key))
            i = (i + 1) & mask;
        return i;
    }

    // Removes slot i and shifts later members of its probe run back, so no tombstones
    // are needed.
    void erase(std::size_t i) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t j = i;
        for (;;) {
            j = (j + 1) & mask;
            if (!slots_[j].used) break;
            const std::size_t home = static_cast<std::size_t>(slots_[j].hash) & mask;
            const bool staysPut = i <= j ? (i < home && home <= j) : (i < home || home <= j);
            if (staysPut) continue;
            slots_[i] = std::move(slots_[j]);
            i = j;
        }
        slots_[i] = Slot{};
        --size_;
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(capacity, Slot{});
        const std::size_t mask = capacity - 1;
        for (Slot& s : old) {
            if (!s.used) continue;
            std::size_t i = static_cast<std::size_t>(s.hash) & mask;
            while (slots_[i].used)
                i = (i + 1) & mask;
            slots_[i] = std::move(s);
        }
    }

    std::vector<Slot> slots_; // size 0 or a power of two, at most half full
    std::size_t size_ = 0;
    std::unordered_map<Key, std::vector<int32_t>, index_hash::Std> more_; // ascending, all above `first`
};

} // namespace kavex
