#pragma once

#include <array>

// The names of a click's choices, in the order of their values, as the list and the click editor show them.
inline constexpr std::array<const char*, 3> kMouseButtonTexts{"Left Button", "Right Button", "Middle Button"};
inline constexpr std::array<const char*, 4> kMouseActionTexts{"Single Click", "Double Click", "Button Down",
                                                              "Button Up"};
inline constexpr std::array<const char*, 3> kAfterClickTexts{"Do nothing", "Back to the original location",
                                                             "Back to the original location and click"};
