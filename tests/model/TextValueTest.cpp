#include "model/TextValue.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

template <class Convert> std::string ErrorText(Convert convert, const std::string& text) {
    try {
        convert(text);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(TextValueTest, IntegersReadDecimalAndHexadecimalWithASign) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"0", 0},
        {"007", 7},
        {"-0", 0},
        {"+2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"   15", 15},
        {"$7FFFFFFF", INT32_MAX},
        {"$80000000", INT32_MIN},
        {"$FFFFFFFF", -1},
        {"$000000000010", 16},
        {"-$10", -16},
        {"+$10", 16},
        {"0x1f", 31},
        {"0XFF", 255},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(StringToInt(text), expected);
    }
}

TEST(TextValueTest, IntegersOutOfRangeOrMalformedAreRejected) {
    for (const char* text : {"", " ", "2147483648", "-2147483649", "99999999999999999999", "$100000000", "12 ", "\t12",
                             "1e3", "+-1", "-", "$", "0x", "$ 1", "١٢"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ErrorText(StringToInt, text), std::string("'") + text + "' is not a valid integer value");
    }
}

TEST(TextValueTest, BooleansReadWordsInAnyCaseOrNumbers) {
    EXPECT_TRUE(StringToBool("True"));
    EXPECT_TRUE(StringToBool("TRUE"));
    EXPECT_TRUE(StringToBool("2"));
    EXPECT_TRUE(StringToBool("-1"));
    EXPECT_FALSE(StringToBool("false"));
    EXPECT_FALSE(StringToBool("FaLsE"));
    EXPECT_FALSE(StringToBool("0"));
    EXPECT_FALSE(StringToBool("$0"));
    for (const char* text : {"", "yes", "truee", " true", "0.0"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ErrorText(StringToBool, text), std::string("'") + text + "' is not a valid boolean value");
    }
}

TEST(TextValueTest, BooleansAreWrittenAsCapitalisedWords) {
    EXPECT_EQ(BoolToString(true), "True");
    EXPECT_EQ(BoolToString(false), "False");
}
