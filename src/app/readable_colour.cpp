#include "app/readable_colour.h"

#include <algorithm>
#include <cmath>

namespace app {
namespace {

constexpr double kEnoughContrast = 4.5;

// sRGB channel to linear light.
double linear(std::uint8_t channel) {
    double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double relativeLuminance(Rgb colour) {
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) + 0.0722 * linear(colour.blue);
}

}  // namespace

double ContrastRatio(Rgb first, Rgb second) {
    double one = relativeLuminance(first);
    double other = relativeLuminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

Rgb ReadableTextColour(Rgb wanted, Rgb background) {
    if (ContrastRatio(wanted, background) >= kEnoughContrast) return wanted;
    return ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background) ? kBlack : kWhite;
}

}  // namespace app
