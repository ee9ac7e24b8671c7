#pragma once
// The original language's Collection: an ordered list, 1-based, whose elements may carry a text
// key. Keys compare without regard to ASCII case, as the language compared them. Failures are
// the language's run-time errors: 9 for a position outside 1..Count, 5 for a key no element
// carries, 457 for a key that is already taken.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/basic/RuntimeError.h"

namespace qv::basic {

template <class T>
class Collection {
public:
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }

    // Appends the element; an empty key means none.
    void Add(T item, std::string_view key = {}) {
        if (!key.empty() && find(key) >= 0) raiseError(errDuplicateKey);
        items_.push_back({std::move(item), std::string(key)});
    }

    T& Item(int32_t index) { return items_[slot(index)].item; }
    const T& Item(int32_t index) const { return items_[slot(index)].item; }
    T& Item(std::string_view key) { return items_[slotOf(key)].item; }
    const T& Item(std::string_view key) const { return items_[slotOf(key)].item; }

    void Remove(int32_t index) { items_.erase(items_.begin() + slot(index)); }
    void Remove(std::string_view key) { items_.erase(items_.begin() + slotOf(key)); }
    void Clear() { items_.clear(); }

private:
    struct Entry {
        T item;
        std::string key;
    };

    struct EntryIterator {
        typename std::vector<Entry>::iterator it;
        T& operator*() const { return it->item; }
        EntryIterator& operator++() {
            ++it;
            return *this;
        }
        bool operator!=(const EntryIterator& o) const { return it != o.it; }
    };

public:
    // In order, for range-for.
    EntryIterator begin() { return {items_.begin()}; }
    EntryIterator end() { return {items_.end()}; }

private:
    static bool sameKey(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
            if (x != y) return false;
        }
        return true;
    }
    int32_t find(std::string_view key) const {
        for (size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].key.empty() && sameKey(items_[i].key, key)) return static_cast<int32_t>(i);
        return -1;
    }
    size_t slot(int32_t index) const {
        if (index < 1 || index > Count()) raiseError(errSubscript);
        return static_cast<size_t>(index - 1);
    }
    size_t slotOf(std::string_view key) const {
        const int32_t i = key.empty() ? -1 : find(key);
        if (i < 0) raiseError(errInvalidCall);
        return static_cast<size_t>(i);
    }

    std::vector<Entry> items_;
};

}  // namespace qv::basic
