#pragma once
// The language's Collection: items at positions 1..Count, each with an optional text key.
// Keys are compared without regard to ASCII case, as the language compared them. A missing key
// raises error 5, a position outside 1..Count error 9, a key added twice error 457.

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
public:
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }

    // Appends the item, under `key` when it is not empty.
    void Add(T item, const std::string& key = {}) {
        std::string folded = key.empty() ? std::string() : LCase(key);
        if (!folded.empty() && index_.count(folded)) raiseError(errDuplicateKey);
        items_.push_back({std::move(item), folded});
        if (!folded.empty()) index_.emplace(std::move(folded), items_.size() - 1);
    }

    const T& Item(int32_t position) const { return items_[slot(position)].item; }
    const T& Item(const std::string& key) const { return items_[slot(key)].item; }
    bool Exists(const std::string& key) const { return index_.count(LCase(key)) != 0; }

    void Remove(int32_t position) { erase(slot(position)); }
    void Remove(const std::string& key) { erase(slot(key)); }

private:
    struct Entry {
        T item;
        std::string key;  // folded; "" when the item has none
    };

    size_t slot(int32_t position) const {
        if (position < 1 || position > Count()) raiseError(errSubscript);
        return static_cast<size_t>(position - 1);
    }
    size_t slot(const std::string& key) const {
        auto it = index_.find(LCase(key));
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
