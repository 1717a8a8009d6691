#include "data/store.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace velta;

// Every access beyond the allocated indexes (and every access before the first
// allocation) fails with a message naming the index and the bounds.
TEST(CheckedContainers, IndexesBeyondTheBoundsFail) {
    const Vec v3(3), none;
    const Mat m23(2, 3), empty;
    struct Case {
        std::function<double()> access;
        const char* message;  // empty: the access is allowed
    };
    const Case cases[] = {
        {[&] { return v3(0); }, ""},
        {[&] { return v3(3); }, ""},
        {[&] { return v3(4); }, "Индекс 4 вне границ массива (0..3)"},
        {[&] { return v3(-1); }, "Индекс -1 вне границ массива (0..3)"},
        {[&] { return none(0); }, "Индекс 0 вне границ массива (0..-1)"},
        {[&] { return m23(2, 3); }, ""},
        {[&] { return m23(0, 0); }, ""},
        {[&] { return m23(3, 1); }, "Индекс (3,1) вне границ матрицы (0..2, 0..3)"},
        {[&] { return m23(1, 4); }, "Индекс (1,4) вне границ матрицы (0..2, 0..3)"},
        {[&] { return m23(-1, 0); }, "Индекс (-1,0) вне границ матрицы (0..2, 0..3)"},
        {[&] { return m23(0, -2147483647 - 1); }, "Индекс (0,-2147483648) вне границ матрицы (0..2, 0..3)"},
        {[&] { return empty(0, 0); }, "Индекс (0,0) вне границ матрицы (0..-1, 0..-1)"},
        {[&] { return *empty.row(0); }, "Индекс (0,0) вне границ матрицы (0..-1, 0..-1)"},
    };
    for (const Case& c : cases) {
        if (*c.message == '\0') {
            EXPECT_NO_THROW(c.access()) << c.message;
            continue;
        }
        try {
            c.access();
            ADD_FAILURE() << "no error: " << c.message;
        } catch (const VeltaError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}
