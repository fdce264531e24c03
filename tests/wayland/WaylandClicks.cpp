#include "WaylandClicks.h"

#include "pixels/Base64.h"
#include "pixels/PixelBuffer.h"

#include <cstdio>
#include <fstream>
#include <iterator>

TMouseObj clickAt(const std::string& name, int x, int y) {
    TMouseObj click;
    click.fName = name;
    click.pointType = ptFixed;
    click.fPosX = x;
    click.fPosY = y;
    click.iClickInterval = 50;
    click.fStartInterval = 0;
    click.stopType = spRepeat;
    click.fRepeat = 1;
    return click;
}

TMouseObj colourClick(const std::string& name, std::uint32_t rgb, TRect scope) {
    TMouseObj click = clickAt(name, 0, 0);
    click.pointType = ptColor;
    click.fColor = "$00" + [rgb] {
        char text[7];
        std::snprintf(text, sizeof text, "%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
        return std::string(text);
    }();
    click.ScreenType = scPart;
    click.fLeft = scope.left;
    click.fTop = scope.top;
    click.fRight = scope.left + scope.width;
    click.fBottom = scope.top + scope.height;
    return click;
}

namespace {
std::vector<std::uint8_t> uniquePicture() {
    TPixelBuffer picture;
    picture.SetSize(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            picture.SetPixel(x, y, static_cast<std::uint32_t>(0x10 * x << 16 | 0x20 * y << 8 | 0x99));
    return EncodeBmp24(picture);
}

} // namespace

std::filesystem::path writeUniquePicture(const WaylandSession& session) {
    const std::filesystem::path file = session.folder() / "picture.bmp";
    const std::vector<std::uint8_t> bmp = uniquePicture();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    session.user().own(file);
    return file;
}

TMouseObj pictureClickOf(const std::string& name, const std::filesystem::path& picture) {
    std::ifstream in(picture, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    TMouseObj click = clickAt(name, 0, 0);
    click.pointType = ptPicture;
    click.fBMP = StreamToBase64(bytes);
    return click;
}

std::vector<PointerButton> pressesOf(unsigned button, TActionType action, TPoint at) {
    const PointerButton press{button, true, at.x, at.y}, release{button, false, at.x, at.y};
    switch (action) {
    case atDouble:
        return {press, release, press, release};
    case atDown:
        return {press};
    case atUp:
        return {release};
    default:
        return {press, release};
    }
}

std::vector<PointerButton> nextButtons(WaylandTarget& target, std::size_t count) {
    std::vector<PointerButton> events;
    while (events.size() < count)
        if (const auto event = target.nextButton())
            events.push_back(*event);
        else
            break;
    return events;
}
