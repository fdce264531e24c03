// Any bytes as a BMP file image, loaded the way a click's picture is loaded.
#include "FuzzSupport.h"

#include "pixels/PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

std::int32_t HeaderField(const std::uint8_t* data, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | data[offset + static_cast<std::size_t>(i)];
    }
    return static_cast<std::int32_t>(value);
}

void CheckLoaded(const TPixelBuffer& picture, const std::uint8_t* data, std::size_t size) {
    FuzzCheck(size >= 54, "a loaded picture had both headers");
    FuzzCheck(picture.width == HeaderField(data, 18) && picture.height == HeaderField(data, 22),
              "the size is the header's");
    FuzzCheck(picture.lineWidth % 4 == 0 && picture.lineWidth >= 3 * picture.width, "rows are padded to 4 bytes");
    FuzzCheck(picture.spareWidth == picture.lineWidth - 3 * picture.width && picture.spareWidth < 4,
              "padding is below 4 bytes");
    FuzzCheck(picture.size == picture.lineWidth * picture.height, "Size covers every row");
    FuzzCheck(static_cast<std::size_t>(picture.size) <= size - 54, "every pixel byte came from the stream");
    if (picture.size > 0) {
        FuzzCheck(std::memcmp(picture.bits, data + 54, static_cast<std::size_t>(picture.size)) == 0,
                  "the rows are the bytes right behind the headers");
        // Reads the corners through the row arithmetic the searches use.
        picture.Pixel(0, 0);
        picture.Pixel(picture.width - 1, picture.height - 1);
    }
}

void CheckEmpty(const TPixelBuffer& picture) {
    FuzzCheck(picture.width == 0 && picture.height == 0 && picture.size == 0 && picture.memSize == 0 &&
                  picture.bits == nullptr,
              "a picture that did not load is empty");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TPixelBuffer picture;
    TByteStream stream{{data, size}, 0};
    const bool loaded = picture.LoadFromStream(&stream);
    if (loaded) {
        CheckLoaded(picture, data, size);
    } else {
        CheckEmpty(picture);
    }
    // A buffer that already holds the picture (and keeps its block) loads it again with the same result.
    TByteStream again{{data, size}, 0};
    FuzzCheck(picture.LoadFromStream(&again) == loaded, "a reload gives the same result");
    if (loaded) {
        CheckLoaded(picture, data, size);
    }
    return 0;
}
