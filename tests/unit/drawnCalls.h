// Checks of the draw calls recorded by the raylib fake, for widget and panel
// tests: the expected calls are written as a table and compared in order.
#pragma once

#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drawn {

constexpr Color black{0, 0, 0, 255};
constexpr Color gray{130, 130, 130, 255};
constexpr Color lightGray{200, 200, 200, 255};
constexpr Color green{0, 228, 48, 255};
constexpr Color white{255, 255, 255, 255};
constexpr Color offWhite{245, 245, 245, 255};

// Computed line ends are checked against values rounded to four decimals.
constexpr double rounded = 2e-4;

struct Call {
    std::string name;
    std::vector<double> numbers;
    Color color;
    std::string text = "";
    // 0: every number as recorded, bit for bit.
    double tolerance = 0;
};

inline bool sameColor(Color a, Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

inline void expectCall(const fake::Call& actual, const Call& expected, const std::string& where) {
    EXPECT_EQ(actual.name, expected.name) << where;
    EXPECT_EQ(actual.text, expected.text) << where;
    EXPECT_TRUE(actual.hasColor && sameColor(actual.color, expected.color))
        << where << ": colour " << int(actual.color.r) << "," << int(actual.color.g) << ","
        << int(actual.color.b) << "," << int(actual.color.a);
    ASSERT_EQ(actual.numbers.size(), expected.numbers.size()) << where;
    for (size_t i = 0; i < expected.numbers.size(); ++i) {
        if (expected.tolerance == 0) {
            EXPECT_EQ(actual.numbers[i], expected.numbers[i]) << where << ", number " << i;
        } else {
            EXPECT_NEAR(actual.numbers[i], expected.numbers[i], expected.tolerance)
                << where << ", number " << i;
        }
    }
}

// The recorded draw calls must be exactly the expected ones, in order.
inline void expectCalls(const std::vector<fake::Call>& actual, const std::vector<Call>& expected,
                        const std::string& context) {
    ASSERT_EQ(actual.size(), expected.size()) << context;
    for (size_t i = 0; i < expected.size(); ++i) {
        expectCall(actual[i], expected[i],
                   context + ", call " + std::to_string(i) + " " + expected[i].name);
    }
}

inline std::vector<fake::Call> callsNamed(const std::string& name) {
    std::vector<fake::Call> out;
    for (const fake::Call& c : fake::calls()) {
        if (c.name == name) {
            out.push_back(c);
        }
    }
    return out;
}

// One frame of input: the pointer, and Backspace pressed or not. The typed
// byte goes straight to the panel's process().
inline void setFrame(Vector2 mouse, bool backspace = false) {
    fake::Frame f;
    f.mouse = mouse;
    if (backspace) {
        f.keys.push_back(KEY_BACKSPACE);
    }
    fake::setFrame(f);
}

} // namespace drawn
