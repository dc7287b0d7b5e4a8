#include "app/help_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Block {
    std::string text;
    int breaksAfter = 0;
};

// Splits at runs of CR LF, counting the line breaks of each run.
std::vector<Block> splitBlocks(std::string_view text) {
    std::vector<Block> blocks;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = std::min(text.find("\r\n", pos), text.size());
        Block block{std::string(text.substr(pos, end - pos)), 0};
        for (pos = end; text.substr(pos, 2) == "\r\n"; pos += 2) ++block.breaksAfter;
        blocks.push_back(std::move(block));
        if (pos == text.size()) break;
    }
    return blocks;
}

bool hasBareLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

TEST(HelpTextSplit, CountsTheBreaksAfterEachBlock) {
    struct Case {
        std::string text;
        std::vector<std::pair<std::string, int>> expected;
    };
    const Case cases[] = {
        {"", {{"", 0}}},
        {"one", {{"one", 0}}},
        {"one\r\ntwo", {{"one", 1}, {"two", 0}}},
        {"one\r\n\r\n\r\ntwo\r\n", {{"one", 3}, {"two", 1}}},
        {"a\rb\r\n\nc", {{"a\rb", 1}, {"\nc", 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::pair<std::string, int>> actual;
        for (const auto& b : splitBlocks(c.text)) actual.emplace_back(b.text, b.breaksAfter);
        EXPECT_EQ(actual, c.expected);
    }
}

// What each help block must be: its exact text, or the parts its wording must
// keep.
struct Expected {
    int breaks;
    std::string_view exact = {};
    std::string_view startsWith = {};
    std::string_view endsWith = {};
    std::vector<std::string_view> contains = {};
};

constexpr std::string_view kVersioningEnd =
    "The default value is ON and there is no way to turn it off by default.";

const std::vector<Expected> kHelpBlocks = {
    /* 1 */ {2, "PREREQUISITES"},
    /* 2 */ {2, "To use this application, the following are required: "},
    /* 3 */ {2, "1.  WinZip must be installed to default directory c:\\Program Files\\WinZip."},
    /* 4 */ {2, "2.  WinZip Command Line Add-on must also be installed to default WinZip directory."},
    /* 5 */ {3, {}, "If either of these are not determined to be installed", {}, {"c:\\program files\\winzip"}},
    /* 6 */ {3, {}, {}, {}, {"WinZip", "licence", "evaluation period"}},
    /* 7 */ {2, "OVERVIEW"},
    /* 8 */ {2, {}, {}, {}, {"data files", "not", "PC systems"}},
    /* 9 */ {2, {}, {}, {}, {"Command Line Support Add-on", "free", "web site"}},
    /* 10 */ {2, {}, {}, {}, {"complete systems", "partitions", "active Operating Systems"}},
    /* 11 */ {2, {}, "Versioning", kVersioningEnd},
    /* 12 */ {3, {}, "Versioning", kVersioningEnd},
    /* 13 */ {2, "CAVEATS"},
    /* 14 */ {2, "1.  If the file to be created exceeds any limitation in file size of the Operating System "
                 "the zip stops and no file gets created."},
    /* 15 */ {2, "2.  Best results are obtained by keeping the zipped files small."},
    /* 16 */ {3, "3.  If any files being zipped are open, they will not get included in the WinZip file that "
                 "gets created."},
    /* 17 */ {2, "DIRECTIONS"},
    /* 18 */ {2, "Specific Directory"},
    /* 19 */ {2, {}, "Browse", "press ZIP.",
              {"descriptive file name", "Versioning off", "\"Backup Path, File:\"", "\"To Be Backed Up:\""}},
    /* 20 */ {2, "My Documents Folder for Specific User"},
    /* 21 */ {3, {}, "Browse", "press ZIP.",
              {"list of user profiles", "\"My Documents\"", "Versioning off", "\"Backup Path, File:\"",
               "\"To Be Backed Up:\""}},
    /* 22 */ {2, "BUTTONS"},
    /* 23 */ {2, "Reset"},
    /* 24 */ {2, "Resets ALL to default values."},
    /* 25 */ {2, "Browse: Specific Directory"},
    /* 26 */ {2, "This will allow user to browse and select any directory to be zipped up."},
    /* 27 */ {2, "Browse: My Documents Folder for Specific User"},
    /* 28 */ {2, "This will provide a list of Users with profiles and a My Documents folder to select for "
                 "zipping up."},
    /* 29 */ {2, "Browse: Destination Path"},
    /* 30 */ {2, {}, {}, {}, {"browse", "backups", "typed"}},
    /* 31 */ {2, "Default: Destination Path"},
    /* 32 */ {2, {}, {}, "The default is %HomeDrive%\\Backup Zips (%HomeDrive% = root directory of booted "
                        "Operating System).",
              {"default"}},
    /* 33 */ {2, "ZIP"},
    /* 34 */ {3, {}, {}, {}, {"\"To Be Backed Up\"", "\"Backup Path, File\""}},
    /* 35 */ {2, "VERSIONING"},
    /* 36 */ {3, {}, "Versioning", kVersioningEnd, {"month", "file name"}},
    /* 37 */ {2, "FILE NAME"},
    /* 38 */ {2, "Year"},
    /* 39 */ {2, "Default is System Date Year.  This adds the year chosen to the zip file name."},
    /* 40 */ {2, "Month"},
    /* 41 */ {0, "Default is System Date Month.  This adds the month chosen to the zip file name only if "
                 "Versioning is selected."},
};

void expectBlock(const Block& actual, const Expected& expected) {
    EXPECT_EQ(actual.breaksAfter, expected.breaks);
    EXPECT_FALSE(actual.text.empty());
    EXPECT_FALSE(hasBareLineEnd(actual.text));
    if (!expected.exact.empty()) EXPECT_EQ(actual.text, expected.exact);
    if (!expected.startsWith.empty()) EXPECT_TRUE(actual.text.starts_with(expected.startsWith)) << actual.text;
    if (!expected.endsWith.empty()) EXPECT_TRUE(actual.text.ends_with(expected.endsWith)) << actual.text;
    for (auto part : expected.contains)
        EXPECT_NE(actual.text.find(part), std::string::npos) << "missing \"" << part << "\" in " << actual.text;
}

TEST(HelpText, HasTheFortyOneBlocksWithTheirLineBreaks) {
    auto blocks = splitBlocks(app::HelpText());
    ASSERT_EQ(blocks.size(), kHelpBlocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        SCOPED_TRACE("block " + std::to_string(i + 1));
        expectBlock(blocks[i], kHelpBlocks[i]);
    }
}

TEST(HelpText, RepeatsTheVersioningParagraphInTheOverview) {
    auto blocks = splitBlocks(app::HelpText());
    ASSERT_EQ(blocks.size(), 41u);
    EXPECT_EQ(blocks[10].text, blocks[35].text);
    EXPECT_EQ(blocks[11].text, blocks[35].text);
}

TEST(HelpText, EndsWithoutALineBreakAndHoldsNoOtherLineEnds) {
    std::string text = app::HelpText();
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
    EXPECT_TRUE(text.ends_with("only if Versioning is selected."));
    std::size_t breaks = 0;
    for (auto block : splitBlocks(text)) breaks += static_cast<std::size_t>(block.breaksAfter);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), static_cast<std::ptrdiff_t>(breaks));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<std::ptrdiff_t>(breaks));
}

struct EulaSection {
    std::string_view heading;
    int paragraphs;
};

const EulaSection kEulaSections[] = {
    {"End User License Agreement (EULA)", 2},
    {"SCOPE OF THIS LICENSE", 3},
    {"WARRANTY DISCLAIMERS and LIABILITY LIMITATIONS", 2},
    {"DISTRIBUTION", 3},
    {"CONFIDENTIAL PROPERTY", 1},
    {"RIGHTS AND TRADEMARKS", 2},
};

// The blocks of the sections, and the separator and closing line after them.
std::vector<Block> eulaBody(const std::vector<Block>& blocks) {
    return {blocks.begin(), blocks.end() - 2};
}

TEST(EulaText, HasTheSectionsInOrderWithTheirParagraphs) {
    auto blocks = splitBlocks(app::EulaText());
    auto body = eulaBody(blocks);
    std::size_t at = 0;
    for (const auto& section : kEulaSections) {
        SCOPED_TRACE(std::string(section.heading));
        ASSERT_LT(at, body.size());
        EXPECT_EQ(body[at].text, section.heading);
        if (at > 0) EXPECT_EQ(body[at - 1].breaksAfter, 3) << "before the heading";
        for (int p = 1; p <= section.paragraphs; ++p) {
            ASSERT_LT(at + p, body.size());
            EXPECT_EQ(body[at + p - 1].breaksAfter, 2) << "before paragraph " << p;
            EXPECT_GT(body[at + p].text.size(), 40u) << "paragraph " << p << ": " << body[at + p].text;
            EXPECT_FALSE(hasBareLineEnd(body[at + p].text));
        }
        at += 1 + section.paragraphs;
    }
    EXPECT_EQ(at, body.size()) << "blocks beyond the last section";
}

TEST(EulaText, EndsWithTheSeparatorAndTheRightsNotice) {
    std::string text = app::EulaText();
    auto blocks = splitBlocks(text);
    ASSERT_GE(blocks.size(), 3u);
    const auto& lastParagraph = blocks[blocks.size() - 3];
    const auto& separator = blocks[blocks.size() - 2];
    const auto& closing = blocks.back();
    EXPECT_EQ(lastParagraph.breaksAfter, 1);
    EXPECT_EQ(separator.text, std::string(40, '_'));
    EXPECT_EQ(separator.breaksAfter, 2);
    EXPECT_EQ(closing.breaksAfter, 0);
    EXPECT_NE(closing.text.find("Quenfold"), std::string::npos) << closing.text;
    EXPECT_NE(closing.text.find("All rights reserved."), std::string::npos) << closing.text;
    EXPECT_TRUE(text.starts_with("End User License Agreement (EULA)\r\n\r\n"));
    EXPECT_FALSE(text.ends_with("\r\n"));
}

TEST(EulaText, NamesTheProgramAndTheTrademarkHolder) {
    auto body = eulaBody(splitBlocks(app::EulaText()));
    ASSERT_GE(body.size(), 3u);
    EXPECT_NE(body[1].text.find("Quenfold"), std::string::npos) << body[1].text;
    const auto& trademark = body.back().text;
    for (std::string_view part : {"WinZip", "registered trademark", "WinZip Computing"})
        EXPECT_NE(trademark.find(part), std::string::npos) << part;
}

}  // namespace
