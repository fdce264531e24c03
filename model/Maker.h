#pragma once

// The project's own addresses: the About box, "Help" and the files' `generated` attribute.
inline constexpr const char* kMakerWebAddress = "https://tappora.example.org/";
inline constexpr const char* kMakerMailAddress = "support@tappora.example.org";
