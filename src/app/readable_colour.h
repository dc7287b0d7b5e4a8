// Text colours that stay readable on whatever background colour the user
// has chosen for the desktop.
#pragma once

#include <cstdint>

namespace app {

struct Rgb {
    std::uint8_t red, green, blue;
    friend bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
// A line that warns (an old or failed backup).
inline constexpr Rgb kWarningRed{192, 0, 0};

// The WCAG 2 contrast ratio of two colours, from 1 (alike) to 21 (black on
// white).
double ContrastRatio(Rgb first, Rgb second);

// The text colour asked for where it reads on the background (a contrast
// ratio of at least 4.5:1); otherwise black or white, whichever contrasts
// more with the background.
Rgb ReadableTextColour(Rgb wanted, Rgb background);

}  // namespace app
