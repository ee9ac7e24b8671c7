#pragma once
// The language's Collection: items at positions 1..Count, each with an optional text key.
// Keys are compared without regard to ASCII case, as the language compared them. A missing key
// raises error 5, a position outside 1..Count error 9, a key added twice error 457. Keys are
// found through a hash index, so a table of many thousand keyed items stays quick.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

namespace qv::basic {

template <class T>
class Collection {
    struct Entry {
        T item;
        std::string key;  // folded; "" when the item has none
    };

public:
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }

    // Appends the item, under `key` when it is not empty.
    void Add(T item, std::string_view key = {}) {
        std::string folded = key.empty() ? std::string() : LCase(std::string(key));
        if (!folded.empty() && index_.count(folded)) raiseError(errDuplicateKey);
        items_.push_back({std::move(item), folded});
        if (!folded.empty()) index_.emplace(std::move(folded), items_.size() - 1);
    }

    T& Item(int32_t position) { return items_[slot(position)].item; }
    const T& Item(int32_t position) const { return items_[slot(position)].item; }
    T& Item(std::string_view key) { return items_[slot(key)].item; }
    const T& Item(std::string_view key) const { return items_[slot(key)].item; }
    bool Exists(std::string_view key) const { return index_.count(LCase(std::string(key))) != 0; }

    void Remove(int32_t position) { erase(slot(position)); }
    void Remove(std::string_view key) { erase(slot(key)); }
    void Clear() {
        items_.clear();
        index_.clear();
    }

    // In order, for range-for.
    struct Iterator {
        typename std::vector<Entry>::iterator it;
        T& operator*() const { return it->item; }
        Iterator& operator++() {
            ++it;
            return *this;
        }
        bool operator!=(const Iterator& o) const { return it != o.it; }
    };
    Iterator begin() { return {items_.begin()}; }
    Iterator end() { return {items_.end()}; }

private:
    size_t slot(int32_t position) const {
        if (position < 1 || position > Count()) raiseError(errSubscript);
        return static_cast<size_t>(position - 1);
    }
    size_t slot(std::string_view key) const {
        auto it = key.empty() ? index_.end() : index_.find(LCase(std::string(key)));
        if (it == index_.end()) raiseError(errInvalidCall);
        return it->second;
    }
    // Removing the last item, the common case, moves nothing.
    void erase(size_t i) {
        if (!items_[i].key.empty()) index_.erase(items_[i].key);
        if (i + 1 < items_.size())
            for (auto& [k, at] : index_)
                if (at > i) --at;
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    }

    std::vector<Entry> items_;
    std::unordered_map<std::string, size_t> index_;
};

}  // namespace qv::basic
