// The texts of the help and licence-agreement windows, composed in code.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The vendor's web address: the caption of the link button and what it opens.
inline constexpr std::string_view kVendorAddress = "www.winzip.com";
inline constexpr std::string_view kVendorUrl = "https://www.winzip.com/";

std::string HelpText();
std::string EulaText();

}  // namespace app
