// Bounded parsing of untrusted JSON and its whole-number rule.
#include "common/JsonInput.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

TEST(JsonInputTest, NestingAndSizeAreCapped) {
    const auto nested = [](int depth) {
        return std::string(static_cast<std::size_t>(depth), '[') +
               std::string(static_cast<std::size_t>(depth), ']');
    };
    EXPECT_TRUE(json::parseBounded(nested(json::maxNestingDepth)));
    EXPECT_FALSE(json::parseBounded(nested(json::maxNestingDepth + 1)));
    EXPECT_FALSE(json::parseBounded(nested(1'000'000)));
    EXPECT_FALSE(json::parseBounded("\"" + std::string(json::maxDocumentBytes, 'x') + "\""));
    EXPECT_FALSE(json::parseBounded("\"\xc3\x28\""));
    EXPECT_FALSE(json::parseBounded("{} {}"));
}

TEST(JsonInputTest, WholeNumbersAreIntegralValuesInTheSigned64BitRange) {
    const auto whole = [](const char* text) {
        return json::wholeNumber(*json::parseBounded(text));
    };
    EXPECT_EQ(whole("800"), 800);
    EXPECT_EQ(whole("800.0"), 800);
    EXPECT_EQ(whole("-0.0"), 0);
    EXPECT_EQ(whole("1e3"), 1000);
    EXPECT_EQ(whole("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(whole("-9223372036854775808"), INT64_MIN);
    EXPECT_FALSE(whole("9223372036854775808"));
    EXPECT_FALSE(whole("-9223372036854775809"));
    EXPECT_FALSE(whole("1e19"));
    EXPECT_FALSE(whole("800.5"));
    EXPECT_FALSE(whole("\"800\""));
    EXPECT_FALSE(whole("true"));
    EXPECT_FALSE(whole("null"));
}

} // namespace
} // namespace nivu
