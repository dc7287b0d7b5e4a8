#include "app/help_texts.h"

#include <array>

namespace app {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

struct Block {
    std::string_view text;
    int breaksAfter;
};

constexpr std::string_view kVersioning =
    "Versioning adds the month to the zip file name, so that each month's backup gets a file of its "
    "own instead of updating the same file all year.  The default value is ON and there is no way to "
    "turn it off by default.";

// The overview ends with the versioning paragraph, twice, ahead of its own
// section: one table entry per block as the window shows them.
constexpr std::array<Block, 41> kHelpBlocks{{
    {"PREREQUISITES", 2},
    {"To use this application, the following are required: ", 2},
    {"1.  WinZip must be installed to default directory c:\\Program Files\\WinZip.", 2},
    {"2.  WinZip Command Line Add-on must also be installed to default WinZip directory.", 2},
    {"If either of these are not determined to be installed in c:\\program files\\winzip, a message "
     "says so when the application starts, and no backup can be made until they are installed there.",
     3},
    {"WinZip is shareware.  If you go on using it beyond its evaluation period, please purchase a "
     "WinZip licence from WinZip Computing.",
     3},
    {"OVERVIEW", 2},
    {"This application is for backing up data files, such as documents, spreadsheets and mail "
     "folders.  It is not meant for backing up PC systems.",
     2},
    {"The mechanism used is WinZip's Command Line Support Add-on, which is free for WinZip users and "
     "can be downloaded from the WinZip web site.",
     2},
    {"Once more: complete systems, and partitions with active Operating Systems on them, are not to "
     "be backed up this way.  Use a system backup tool for those.",
     2},
    {kVersioning, 2},
    {kVersioning, 3},
    {"CAVEATS", 2},
    {"1.  If the file to be created exceeds any limitation in file size of the Operating System the "
     "zip stops and no file gets created.",
     2},
    {"2.  Best results are obtained by keeping the zipped files small.", 2},
    {"3.  If any files being zipped are open, they will not get included in the WinZip file that gets "
     "created.",
     3},
    {"DIRECTIONS", 2},
    {"Specific Directory", 2},
    {"Browse to the directory to be backed up, then enter a descriptive file name for the zip file.  "
     "Turn Versioning off if desired.  Verify the \"Backup Path, File:\" and \"To Be Backed Up:\" "
     "fields, then press ZIP.",
     2},
    {"My Documents Folder for Specific User", 2},
    {"Browse to the list of user profiles and pick the user whose \"My Documents\" folder is to be "
     "backed up.  Turn Versioning off if desired.  Verify the \"Backup Path, File:\" and \"To Be "
     "Backed Up:\" fields, then press ZIP.",
     3},
    {"BUTTONS", 2},
    {"Reset", 2},
    {"Resets ALL to default values.", 2},
    {"Browse: Specific Directory", 2},
    {"This will allow user to browse and select any directory to be zipped up.", 2},
    {"Browse: My Documents Folder for Specific User", 2},
    {"This will provide a list of Users with profiles and a My Documents folder to select for zipping "
     "up.",
     2},
    {"Browse: Destination Path", 2},
    {"This will allow user to browse to the folder that receives the backups.  The path can also be "
     "typed directly into the Destination Path field.",
     2},
    {"Default: Destination Path", 2},
    {"This will save the Destination Path shown as the default destination, used every time the "
     "application starts.  The default is %HomeDrive%\\Backup Zips (%HomeDrive% = root directory of "
     "booted Operating System).",
     2},
    {"ZIP", 2},
    {"This will zip up the contents of \"To Be Backed Up\" into the file shown in \"Backup Path, "
     "File\".",
     3},
    {"VERSIONING", 2},
    {kVersioning, 3},
    {"FILE NAME", 2},
    {"Year", 2},
    {"Default is System Date Year.  This adds the year chosen to the zip file name.", 2},
    {"Month", 2},
    {"Default is System Date Month.  This adds the month chosen to the zip file name only if "
     "Versioning is selected.",
     0},
}};

// A heading starts a section: three line breaks go before it, two before a
// paragraph.
struct EulaBlock {
    bool heading;
    std::string_view text;
};

constexpr EulaBlock kEulaBlocks[] = {
    {true, "End User License Agreement (EULA)"},
    {false,
     "Quenfold is licensed, not sold.  Subject to the terms below, its maker grants you a free, "
     "non-exclusive licence to install and use Quenfold on any number of computers."},
    {false,
     "Please read the terms of this agreement carefully before you use Quenfold.  By installing, "
     "copying or using the program you agree to them; if you do not agree, do not install or use "
     "it."},
    {true, "SCOPE OF THIS LICENSE"},
    {false,
     "This licence covers the Quenfold program and its help text.  It does not cover WinZip or its "
     "Command Line Support Add-on, which are separate products licensed by their maker under their "
     "own terms."},
    {false,
     "Quenfold is meant for backing up data files.  It is not a system backup tool and must not be "
     "relied upon to back up or restore complete systems or partitions with an active Operating "
     "System."},
    {false,
     "You may use Quenfold at home, in education or in business, free of charge.  You may not "
     "modify, decompile or disassemble it, except where the law expressly permits it."},
    {true, "WARRANTY DISCLAIMERS and LIABILITY LIMITATIONS"},
    {false,
     "Quenfold is provided \"as is\", without warranty of any kind, express or implied, including "
     "the warranties of merchantability and fitness for a particular purpose.  You use it at your "
     "own risk, and it is up to you to check that your backups are complete and can be restored."},
    {false,
     "In no event shall the maker of Quenfold be liable for any damages whatsoever, including loss "
     "of data, loss of profits or business interruption, arising out of the use of or inability to "
     "use the program, even if advised of the possibility of such damages."},
    {true, "DISTRIBUTION"},
    {false,
     "You may copy Quenfold and give copies away, provided that each copy is complete and "
     "unchanged and includes this agreement."},
    {false,
     "Quenfold must be given away free of charge.  You may not sell, rent or lease it, nor include "
     "it in any product or service that is sold, without the written permission of its maker."},
    {false,
     "WinZip and its Command Line Support Add-on may only be passed on as their own licence "
     "allows; they are not part of Quenfold."},
    {true, "CONFIDENTIAL PROPERTY"},
    {false,
     "The source code and internal design of Quenfold are the confidential property of its maker.  "
     "This licence gives you no right to them."},
    {true, "RIGHTS AND TRADEMARKS"},
    {false,
     "All rights not expressly granted in this agreement are reserved by the maker of Quenfold."},
    {false,
     "WinZip is a registered trademark of WinZip Computing.  All other trademarks are the property "
     "of their respective owners."},
};

constexpr std::string_view kEulaClosing = "Copyright (C) Quenfold. All rights reserved.";

void appendBreaks(std::string& text, int count) {
    for (int i = 0; i < count; ++i) text += kLineBreak;
}

}  // namespace

std::string HelpText() {
    std::string text;
    for (const auto& block : kHelpBlocks) {
        text += block.text;
        appendBreaks(text, block.breaksAfter);
    }
    return text;
}

std::string EulaText() {
    std::string text;
    for (const auto& block : kEulaBlocks) {
        if (!text.empty()) appendBreaks(text, block.heading ? 3 : 2);
        text += block.text;
    }
    appendBreaks(text, 1);
    text += std::string(40, '_');
    appendBreaks(text, 2);
    text += kEulaClosing;
    return text;
}

}  // namespace app
