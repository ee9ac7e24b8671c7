// The language's Collection: positions from 1, keys without regard to case, its three errors.
#include "platform/basic/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ErrorExpect.h"

namespace qv::basic {
namespace {

TEST(Collection, KeysPositionsAndRemovalKeepTheOrder) {
    Collection<std::string> c;
    EXPECT_EQ(c.Count(), 0);
    c.Add("a", "K1");
    c.Add("b");
    c.Add("c", "k3");
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(2), "b");
    EXPECT_EQ(c.Item("k1"), "a");
    EXPECT_TRUE(c.Exists("K3"));
    c.Remove("K1");  // from the front: the later items move up, their keys with them
    EXPECT_EQ(c.Item(1), "b");
    EXPECT_EQ(c.Item("k3"), "c");
    EXPECT_FALSE(c.Exists("k1"));
    c.Add("a2", "k1");  // a removed key may come back, at the end
    EXPECT_EQ(c.Item(3), "a2");
    c.Remove(1);
    EXPECT_EQ(c.Item("K1"), "a2");
    EXPECT_EQ(c.Count(), 2);
}

TEST(Collection, MissingKeysPositionsAndDuplicatesRaiseTheirErrors) {
    Collection<int> c;
    c.Add(1, "one");
    EXPECT_RUNTIME_ERROR(c.Item("two"), 5);
    EXPECT_RUNTIME_ERROR(c.Remove("two"), 5);
    EXPECT_RUNTIME_ERROR(c.Item(0), 9);
    EXPECT_RUNTIME_ERROR(c.Item(2), 9);
    EXPECT_RUNTIME_ERROR(c.Remove(2), 9);
    EXPECT_RUNTIME_ERROR(c.Add(2, "ONE"), 457);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(defaultDescription(457), "This key is already associated with an element of this collection");
}

TEST(Collection, PositionsAreOneBasedAndKeysIgnoreCase) {
    Collection<std::string> c;
    EXPECT_EQ(c.Count(), 0);
    EXPECT_RUNTIME_ERROR(c.Item(1), 9);
    c.Add("a");
    c.Add("b", "Key");
    c.Add("c", "7");
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(1), "a");
    EXPECT_EQ(c.Item(3), "c");
    EXPECT_RUNTIME_ERROR(c.Item(0), 9);
    EXPECT_RUNTIME_ERROR(c.Item(4), 9);
    EXPECT_EQ(c.Item("KEY"), "b");
    EXPECT_EQ(c.Item("7"), "c");
    EXPECT_RUNTIME_ERROR(c.Item("-7"), 5);
    EXPECT_RUNTIME_ERROR(c.Item(""), 5);
    std::vector<std::string> seen;
    for (auto& s : c) seen.push_back(s);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Collection, ADuplicateKeyIsRefusedAndRemovalFreesIt) {
    Collection<int> c;
    c.Add(1, "k");
    EXPECT_RUNTIME_ERROR(c.Add(2, "K"), 457);
    EXPECT_EQ(c.Count(), 1);
    c.Add(3);
    c.Add(4);  // elements without keys never clash
    c.Remove("k");
    EXPECT_EQ(c.Item(1), 3);
    c.Add(5, "k");
    c.Remove(1);
    EXPECT_EQ(c.Item(1), 4);
    EXPECT_RUNTIME_ERROR(c.Remove(3), 9);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(defaultDescription(457),
              "This key is already associated with an element of this collection");
}

}  // namespace
}  // namespace qv::basic
