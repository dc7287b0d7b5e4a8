// Caption colours on the desktop colour: kept where they read, black or
// white where they would not.
#include "app/readable_colour.h"

#include <gtest/gtest.h>

namespace {

using app::kBlack;
using app::kWhite;
using app::Rgb;

TEST(ReadableTextColour, KeepsWhatReadsAndOtherwiseTakesTheBetterOfBlackAndWhite) {
    struct Case {
        const char* what;
        Rgb wanted, background, shown;
    };
    const Case cases[] = {
        {"Windows XP's blue desktop", kWhite, {0, 78, 152}, kWhite},
        {"the classic teal desktop, 4.77:1", kWhite, {0, 128, 128}, kWhite},
        {"a black desktop", kWhite, kBlack, kWhite},
        {"black text on a black desktop", kBlack, kBlack, kWhite},
        {"white on grey just above 4.5:1", kWhite, {118, 118, 118}, kWhite},
        {"white on grey just below 4.5:1", kWhite, {119, 119, 119}, kBlack},
        {"white on silver", kWhite, {192, 192, 192}, kBlack},
        {"yellow on teal, 4.45:1, where white reads better than black", {255, 255, 0}, {0, 128, 128}, kWhite},
    };
    for (const Case& c : cases) {
        Rgb shown = app::ReadableTextColour(c.wanted, c.background);
        EXPECT_EQ(shown, c.shown) << c.what;
    }
}

}  // namespace
