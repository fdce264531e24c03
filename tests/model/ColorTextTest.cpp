#include "model/ColorText.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct NamedValue {
    const char* name;
    std::uint32_t value;
};

const std::vector<NamedValue> kEveryName = {
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0},
    {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},
    {"clMedGray", 0x00A4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", 0xFF000000},
    {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002},
    {"clInactiveCaption", 0xFF000003},
    {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008},
    {"clCaptionText", 0xFF000009},
    {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B},
    {"clAppWorkSpace", 0xFF00000C},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clBtnFace", 0xFF00000F},
    {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},
    {"clBtnText", 0xFF000012},
    {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},
    {"clInfoBk", 0xFF000018},
    {"clHotLight", 0xFF00001A},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuBar", 0xFF00001E},
};

TColor AsColor(std::uint32_t bits) {
    return static_cast<TColor>(bits);
}

std::string ErrorText(const std::string& text) {
    try {
        StringToColor(text);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(ColorTextTest, EveryNameTurnsIntoItsValueAndBack) {
    for (const auto& [name, value] : kEveryName) {
        SCOPED_TRACE(name);
        EXPECT_EQ(StringToColor(name), AsColor(value));
        EXPECT_EQ(ColorToString(AsColor(value)), name);
    }
}

TEST(ColorTextTest, NamesAreReadInAnyLetterCase) {
    EXPECT_EQ(StringToColor("CLLIME"), 0x0000FF00);
    EXPECT_EQ(StringToColor("cllime"), 0x0000FF00);
    EXPECT_EQ(StringToColor("CL3DDKSHADOW"), AsColor(0xFF000015));
}

TEST(ColorTextTest, UnnamedValuesAreDollarAndEightUpperCaseHexDigits) {
    EXPECT_EQ(ColorToString(0x00123456), "$00123456");
    EXPECT_EQ(ColorToString(0x00ABCDEF), "$00ABCDEF");
    EXPECT_EQ(ColorToString(1), "$00000001");
    // Index 25 has no name among the system colours.
    EXPECT_EQ(ColorToString(AsColor(0xFF000019)), "$FF000019");
    EXPECT_EQ(ColorToString(AsColor(0x80000005)), "$80000005");
}

TEST(ColorTextTest, HexTextsOfEveryWidthReadBack) {
    for (TColor value : {0x00123456, 0x0000FF00, 0x7FFFFFFF, AsColor(0x80000000), AsColor(0xFF000019), -1}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(StringToColor(ColorToString(value)), value);
    }
    EXPECT_EQ(StringToColor("$0000FF00"), 0x0000FF00);
    EXPECT_EQ(StringToColor("$ff"), 0xFF);
    EXPECT_EQ(StringToColor("0x10"), 16);
}

TEST(ColorTextTest, SignedDecimalNumbersReadAsIntegers) {
    EXPECT_EQ(StringToColor("65280"), 0x0000FF00);
    EXPECT_EQ(StringToColor("+12"), 12);
    EXPECT_EQ(StringToColor("-1"), -1);
    EXPECT_EQ(StringToColor("2147483647"), 2147483647);
    EXPECT_EQ(StringToColor("-2147483648"), AsColor(0x80000000));
    EXPECT_EQ(StringToColor("-$10"), -16);
    EXPECT_EQ(StringToColor("  42"), 42);
}

TEST(ColorTextTest, OtherTextsAreRejectedWithTheTextQuoted) {
    for (const char* text : {"", "clLimes", "lime", "12a", "$", "$G0", "2147483648", "-2147483649", "$100000000", "1 ",
                             "- 1", "--1", "0x", "1.5", "$-1"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ErrorText(text), std::string("'") + text + "' is not a valid integer value");
    }
}
