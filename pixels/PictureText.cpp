#include "pixels/PictureText.h"

#include "pixels/Base64.h"

#include <vector>

std::shared_ptr<const TPixelBuffer> DecodePicture(const std::string& text) {
    if (text.empty())
        return nullptr;
    const std::vector<std::uint8_t> image = Base64ToStream(text);
    auto picture = std::make_shared<TPixelBuffer>();
    // A picture that does not load stays empty: the search never finds it.
    DecodeBmp24(image, *picture);
    return picture;
}
