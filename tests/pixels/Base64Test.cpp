#include "pixels/Base64.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using testing::HasSubstr;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string DecodeError(const std::string& text) {
    try {
        Base64ToStream(text);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(Base64Test, EncodesTheStandardTestVectors) {
    const std::vector<std::pair<std::string, std::string>> vectors = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        SCOPED_TRACE(plain);
        EXPECT_EQ(StreamToBase64(Bytes(plain)), encoded);
        EXPECT_EQ(Base64ToStream(encoded), Bytes(plain));
    }
}

TEST(Base64Test, EveryByteValueRoundTripsWithTheWholeAlphabet) {
    std::vector<std::uint8_t> every(256);
    for (int i = 0; i < 256; ++i) {
        every[i] = static_cast<std::uint8_t>(i);
    }
    const std::string text = StreamToBase64(every);
    EXPECT_EQ(text.size(), 344u);
    EXPECT_THAT(text, HasSubstr("+/"));
    EXPECT_EQ(text.find_first_of(" \r\n"), std::string::npos);
    EXPECT_EQ(Base64ToStream(text), every);
    EXPECT_EQ(Base64ToStream("/+8="), (std::vector<std::uint8_t>{0xFF, 0xEF}));
}

TEST(Base64Test, RejectsTextsThatAreNotBase64WithTheReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Zm9", "length 3 is not a multiple of 4"},
        {"Zm9vY", "length 5 is not a multiple of 4"},
        {"Zm9v\nYmFy", "length 9 is not a multiple of 4"},
        {"Zm 9", "character code 32 outside the alphabet at position 2"},
        {"Zm-9", "character code 45 outside the alphabet at position 2"},
        {"Zm9_", "character code 95 outside the alphabet at position 3"},
        {"Zm=v", "misplaced padding at position 2"},
        {"Z===", "misplaced padding at position 1"},
        {"====", "misplaced padding at position 0"},
        {"Zg==Zm9v", "misplaced padding at position 2"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DecodeError(text), "Invalid base64 text: " + reason);
    }
}
