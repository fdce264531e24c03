#include "SoakList.h"

#include "PixelTestSupport.h"

#include "model/ClickListFile.h"
#include "model/ColorText.h"
#include "pixels/Base64.h"
#include "pixels/PixelBuffer.h"

namespace {

constexpr int kFixedClicks = 80;
constexpr int kColourClicks = 10;
constexpr int kPictureSide = 8;
constexpr int kBlockSide = 6;
constexpr int kColourRow = 670;
constexpr int kPictureRow = 720;

int PlaceLeft(int k) {
    return 960 + 40 * k;
}

std::uint32_t BlockColour(int k) {
    return 0x10A0C0u + static_cast<std::uint32_t>(k) * 0x010203u;
}

// A pattern of its own for each picture, so that no picture matches at another's place.
std::uint32_t PicturePixel(int k, int x, int y) {
    return static_cast<std::uint32_t>(((x * 31 + y * 17 + k * 53) & 0xFF) << 16 | ((x * y + k * 7) & 0xFF) << 8 |
                                      ((x + y + k) * 13 & 0xFF));
}

// Searches look only in the band of their targets, as a user's scope would.
void SearchBand(TMouseObj& click, int top, int bottom) {
    click.ScreenType = scPart;
    click.fLeft = 940;
    click.fRight = 1366;
    click.fTop = top;
    click.fBottom = bottom;
}

} // namespace

SoakList::SoakList() {
    for (int i = 0; i < kClicks; ++i) {
        auto click = std::make_unique<TMouseObj>();
        click->fName = "soak " + std::to_string(i);
        click->iClickInterval = 1 + i % 50;
        click->mouseType = i % 5 == 4 ? mtRight : mtLeft;
        click->hkStart = static_cast<std::uint8_t>(Group(i));
        click->hkStop = static_cast<std::uint8_t>(kGroups + Group(i));
        if (i < kFixedClicks) {
            click->pointType = ptFixed;
            click->fPosX = 960 + 40 * (i % 10);
            click->fPosY = 460 + 25 * (i / 10);
            m_targets.push_back({click->fPosX, click->fPosY});
        } else if (i < kFixedClicks + kColourClicks) {
            const int k = i - kFixedClicks;
            click->pointType = ptColor;
            click->fColor = ColorToString(static_cast<TColor>(SwapRB(BlockColour(k))));
            SearchBand(*click, kColourRow - 10, kColourRow + 30);
            m_targets.push_back({PlaceLeft(k), kColourRow});
        } else {
            const int k = i - kFixedClicks - kColourClicks;
            click->pointType = ptPicture;
            click->fBMP = StreamToBase64(
                PixelTest::Bmp24Image(kPictureSide, kPictureSide, [k](int x, int y) { return PicturePixel(k, x, y); }));
            SearchBand(*click, kPictureRow - 10, kPictureRow + 40);
            m_targets.push_back({PlaceLeft(k) + kPictureSide / 2, kPictureRow + kPictureSide / 2});
        }
        m_clicks.push_back(std::move(click));
    }
}

std::string SoakList::FileText() const {
    std::vector<const TMouseObj*> clicks;
    for (const auto& click : m_clicks) {
        clicks.push_back(click.get());
    }
    return ClickListText(clicks);
}

int SoakList::ClickAt(int x, int y) const {
    for (int i = 0; i < kClicks; ++i) {
        if (m_targets[static_cast<std::size_t>(i)] == Point{x, y}) {
            return i;
        }
    }
    return -1;
}

int SoakList::GroupAt(int x, int y) const {
    const int click = ClickAt(x, y);
    return click < 0 ? -1 : Group(click);
}

void SoakList::PaintTargets(const Painter& paint) const {
    for (int k = 0; k < kColourClicks; ++k) {
        paint(PlaceLeft(k), kColourRow, kBlockSide, kBlockSide, [k](int, int) { return BlockColour(k); });
        paint(PlaceLeft(k), kPictureRow, kPictureSide, kPictureSide,
              [k](int x, int y) { return PicturePixel(k, x - PlaceLeft(k), y - kPictureRow); });
    }
}
