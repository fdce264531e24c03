#pragma once

#include "engine/BitmapData.h"

#include <string>

class IScreen;

// The first pixel of the colour in the rectangle (right and bottom exclusive), in screen coordinates, or (-1, -1).
// Throws std::invalid_argument for colour text that is neither a name nor a number.
TPoint SearchColorBlock(IScreen& screen, const std::string& colorText, std::int32_t left, std::int32_t top,
                        std::int32_t right, std::int32_t bottom, std::int32_t similarity);
// The centre of the first placement of the picture in the rectangle, in screen coordinates, or (-1, -1).
TPoint SearchPicture(IScreen& screen, const TBDBitmapData* picture, std::int32_t left, std::int32_t top,
                     std::int32_t right, std::int32_t bottom, std::int32_t similarity);
// Whether the searches keep a screen buffer of `memSize` bytes for the next search: up to a whole screen's capture.
bool KeepsScreenBuffer(std::int32_t memSize, std::int32_t screenWidth, std::int32_t screenHeight);
