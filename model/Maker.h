#pragma once

// The project's own addresses and licence: the About box, "Help" and the files' `generated` attribute.
inline constexpr const char* kMakerWebAddress = "https://tappora.example.org/";
inline constexpr const char* kMakerMailAddress = "support@tappora.example.org";
inline constexpr const char* kLicenseNotice = "Free software under the MIT License";
