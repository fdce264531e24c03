#pragma once

#include "pixels/PixelBuffer.h"

#include <memory>
#include <string>

// The picture of a click's picture text: nullptr for empty text, an empty picture (which the search never finds) for
// bytes that are not a 24-bit BMP. Throws std::invalid_argument when the text is not base64.
std::shared_ptr<const TPixelBuffer> DecodePicture(const std::string& text);
