#pragma once

// Registers the compiled-in images (the library is static, so the linker keeps them only
// when something calls this). Safe to call more than once.
void EnsureResources();

// The images (SVG sources in res/images/).
inline constexpr const char* kIconImage = ":/images/zentrik-icon.svg";
inline constexpr const char* kBannerImage = ":/images/banner.svg";
inline constexpr const char* kAboutImage = ":/images/about.svg";
