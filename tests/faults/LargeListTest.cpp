// Lists at the edge of what a user may keep: ten thousand clicks, a picture of 50 MB of text, pictures whose text
// or header is broken. The controller loads them, runs them without harm and saves them byte for byte.
#include "PixelTestSupport.h"
#include "control/ControlFixture.h"
#include "pixels/Base64.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <ostream>

using ::testing::IsEmpty;

namespace {

// A BMP file image whose headers claim width x height at `bitCount` bits, followed by `rowBytes` bytes.
std::vector<std::uint8_t> BmpImage(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                                   std::size_t rowBytes) {
    std::vector<std::uint8_t> rows(rowBytes);
    for (std::size_t i = 0; i < rowBytes; ++i) {
        rows[i] = static_cast<std::uint8_t>(i * 7);
    }
    return PixelTest::BmpImage({.width = width, .height = height, .bitCount = bitCount}, rows);
}
std::string PictureClick(const std::string& name, const std::string& picture) {
    return FastClick(name, 1, 2, "pointType=\"3\" fBMP=\"" + picture + "\"");
}

class LargeListTest : public ControlTest {
protected:
    // The list as the program itself writes it, so that an unchanged list saves byte for byte.
    void WriteSavedList(const std::vector<std::unique_ptr<TMouseObj>>& clicks) const {
        std::vector<const TMouseObj*> view;
        for (const auto& click : clicks) {
            view.push_back(click.get());
        }
        WriteFile(kClickListFileName, ClickListText(view));
    }
};

TEST_F(LargeListTest, TenThousandClicksLoadRunAndSaveByteForByte) {
    std::vector<std::unique_ptr<TMouseObj>> clicks;
    for (int i = 0; i < 10000; ++i) {
        auto click = std::make_unique<TMouseObj>();
        click->fName = "click " + std::to_string(i) + " <&\">";
        click->pointType = static_cast<TPointType>(i % 2);
        click->fColor = i % 2 == 0 ? "clLime" : "$00123456";
        click->iClickInterval = 1 + i % 50;
        click->hkStart = static_cast<std::uint8_t>(i % 12);
        click->checked = i % 7 != 0;
        clicks.push_back(std::move(click));
    }
    WriteSavedList(clicks);
    const std::string list = ReadFile(kClickListFileName);

    StartController();
    ASSERT_EQ(ctrl->RowCount(), 10000);
    EXPECT_THAT(ctrl->StartupMessages(), IsEmpty());
    EXPECT_EQ(Cell(9999, "Name"), "click 9999 <&\">");
    // Ctrl+F1 starts the 714 checked clicks that name it; each clicks first 1000 ms plus its interval later.
    PressCtrlF(0);
    fake.loop.advance(1050);
    ctrl->StopAll();
    int clicked = 0;
    for (int row = 0; row < ctrl->RowCount(); ++row) {
        clicked += ctrl->Runner(row).count > 0 ? 1 : 0;
    }
    EXPECT_EQ(clicked, 714);

    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_EQ(ReadFile(kClickListFileName), list);
}

TEST_F(LargeListTest, AFiftyMegabytePictureIsDecodedOnceSearchedAndSavedByteForByte) {
    // 3000 x 4200 pixels at 9000 bytes a row: 37.8 MB of image, 50.4 MB of text.
    const std::vector<std::uint8_t> image = BmpImage(3000, 4200, 24, 9000u * 4200u);
    auto click = std::make_unique<TMouseObj>();
    click->fName = "big picture";
    click->pointType = ptPicture;
    click->iClickInterval = 100;
    click->fBMP = StreamToBase64(image);
    ASSERT_GT(click->fBMP.size(), 50'000'000u);
    std::vector<std::unique_ptr<TMouseObj>> clicks;
    clicks.push_back(std::move(click));
    clicks.push_back(std::make_unique<TMouseObj>());
    WriteSavedList(clicks);
    const std::string list = ReadFile(kClickListFileName);

    StartController();
    ASSERT_EQ(ctrl->RowCount(), 2);
    EXPECT_THAT(ctrl->StartupMessages(), IsEmpty());
    ctrl->Runner(1).checked = false;
    ctrl->NodeChecked(1, false);
    ctrl->StartAll();
    fake.loop.advance(1200);
    const std::shared_ptr<const TPixelBuffer> picture = ctrl->Runner(0).Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 3000);
    EXPECT_EQ(picture->height, 4200);
    // Larger than the screen: never found, never clicked.
    EXPECT_EQ(ClicksSoFar(), 0u);
    ctrl->Runner(1).checked = true;
    ctrl->NodeChecked(1, true);

    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_EQ(ReadFile(kClickListFileName), list);
}

struct BrokenPicture {
    const char* what;
    std::string text;
};

void PrintTo(const BrokenPicture& picture, std::ostream* out) {
    *out << picture.what;
}

class BrokenPictureTest : public ControlTest, public ::testing::WithParamInterface<BrokenPicture> {};

TEST_P(BrokenPictureTest, NeverClicksNeverStopsTheOtherClicksAndIsSavedAsItWas) {
    WriteList({PictureClick("broken", GetParam().text), FastClick("plain", 1, 2)});
    StartController();
    ctrl->StartAll();
    fake.loop.advance(2000);

    EXPECT_TRUE(ctrl->Runner(0).running);
    EXPECT_EQ(ctrl->Runner(0).count, 0);
    EXPECT_GT(ctrl->Runner(1).count, 0);
    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_THAT(ReadFile(kClickListFileName), ::testing::HasSubstr("fBMP=\"" + GetParam().text + "\""));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BrokenPictureTest,
    ::testing::Values(BrokenPicture{"NotBase64", "not base64!"}, BrokenPicture{"BadLength", "QUJDRA="},
                      BrokenPicture{"ThirtyTwoBit", StreamToBase64(BmpImage(2, 2, 32, 16))},
                      BrokenPicture{"RowsMissing", StreamToBase64(BmpImage(4, 4, 24, 20))},
                      BrokenPicture{"ClaimsGigabytes", StreamToBase64(BmpImage(25000, 25000, 24, 8))},
                      BrokenPicture{"SizeOverflows", StreamToBase64(BmpImage(0x7F7F7F00, 0x7F7F7F00, 24, 8))},
                      BrokenPicture{"TopDown", StreamToBase64(BmpImage(2, -2, 24, 16))}),
    [](const ::testing::TestParamInfo<BrokenPicture>& info) { return info.param.what; });

} // namespace
