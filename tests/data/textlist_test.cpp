#include "data/textlist.h"

#include <gtest/gtest.h>

using namespace velta;

namespace {

using List = std::vector<std::string>;

// Empty pieces are kept by split (the readers count list items by them) and dropped only
// for a wholly empty field by listItems; words folds runs of blanks and tabs.
TEST(TextList, PiecesItemsAndWords) {
    struct Case {
        std::string text;
        List pieces, items, wordList;
    };
    const Case cases[] = {
        {"", {""}, {}, {}},
        {"1,2,3", {"1", "2", "3"}, {"1", "2", "3"}, {"1,2,3"}},
        {",5,", {"", "5", ""}, {"", "5", ""}, {",5,"}},
        {" 0.5\t 1E-05  x ", {" 0.5\t 1E-05  x "}, {" 0.5\t 1E-05  x "}, {"0.5", "1E-05", "x"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(split(c.text, ','), c.pieces) << c.text;
        EXPECT_EQ(listItems(c.text), c.items) << c.text;
        EXPECT_EQ(words(c.text), c.wordList) << c.text;
    }
    EXPECT_EQ(split("a b", ' '), List({"a", "b"}));
}

}  // namespace
