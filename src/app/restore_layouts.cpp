#include "app/layout.h"

namespace app {
namespace {

using K = ControlKind;
constexpr int px(int pixels) { return pixels * 15; }

// The find or browse table takes what the user's resizing adds; the rows
// below it move down with the bottom edge, the buttons on the right with the
// right edge.
constexpr int kTable = follow::kWidth | follow::kHeight;
constexpr int kWide = follow::kWidth;
constexpr int kRightSide = follow::kRight;
constexpr int kBelow = follow::kBottom;
constexpr int kBelowWide = follow::kBottom | follow::kWidth;
constexpr int kBelowRight = follow::kBottom | follow::kRight;

constexpr ControlLayout kRestoreControls[] = {
    {"lblRestoreBackup", 5001, K::TextLabel, "Which backup:", "", "", px(8), px(12), px(100), px(17), -1, true, Look::Default},
    {"cmbRestoreBackup", 5002, K::ComboBox, "", "The backups of the main window, with their archives in the destination folder", "", px(112), px(8), px(464), px(21), 0, true, Look::Default, false, false, kWide},
    {"cmdOtherArchive", 5003, K::Button, "Other archive...", "Open any zip archive", "", px(584), px(6), px(108), px(25), 1, true, Look::Default, true, false, kRightSide},
    {"lblRestoreArchive", 5004, K::TextLabel, "Archive:", "", "", px(8), px(40), px(100), px(17), -1, true, Look::Default},
    {"cmbRestoreArchive", 5005, K::ComboBox, "", "The archive to browse, test or restore whole; newest first", "", px(112), px(36), px(464), px(21), 2, true, Look::Default, false, false, kWide},
    {"cmdTestArchive", 5006, K::Button, "Test", "Read back every file of this archive and check it", "", px(584), px(34), px(108), px(25), 3, true, Look::Default, true, false, kRightSide},
    {"lblRestoreFind", 5007, K::TextLabel, "Find:", "", "", px(8), px(68), px(100), px(17), -1, true, Look::Default},
    {"txtRestoreFind", 5008, K::TextBox, "", "Part of a file name: every version of every file that matches, in all the archives of this backup", "", px(112), px(64), px(464), px(21), 4, true, Look::Default, false, false, kWide},
    {"chkRestoreTree", 5022, K::CheckBox, "As a tree", "Show the archive's folders as a tree, each with what it holds", "", px(584), px(65), px(108), px(20), 5, true, Look::Default, false, false, kRightSide},
    {"tblRestore", 5009, K::Table, "", "", "", px(8), px(94), px(684), px(246), 6, true, Look::Default, false, false, kTable},
    {"lblRestoreTo", 5010, K::TextLabel, "Restore to:", "", "", px(8), px(352), px(100), px(17), -1, true, Look::Default, true, false, kBelow},
    {"optRestoreOriginal", 5011, K::OptionButton, "Original folder", "Where the backup was made from", "", px(112), px(350), px(120), px(20), 7, true, Look::Default, false, true, kBelow},
    {"txtRestoreOriginal", 5012, K::TextBox, "", "", "", px(236), px(350), px(456), px(21), -1, true, Look::ReadOnly, false, false, kBelowWide},
    {"optRestoreChosen", 5013, K::OptionButton, "This folder:", "A folder of your choice", "", px(112), px(377), px(120), px(20), 8, true, Look::Default, false, false, kBelow},
    {"txtRestoreFolder", 5014, K::TextBox, "", "The folder to restore into; made when missing", "", px(236), px(377), px(340), px(21), 9, true, Look::Default, false, false, kBelowWide},
    {"cmdRestoreBrowse", 5015, K::Button, "Browse...", "Choose the folder to restore into", "", px(584), px(375), px(108), px(25), 10, true, Look::Default, true, false, kBelowRight},
    {"prgRestore", 5016, K::ProgressBar, "", "", "", px(8), px(414), px(330), px(17), -1, true, Look::Default, true, false, kBelowWide},
    {"cmdRestore", 5017, K::Button, "Restore", "Restore the selected files and folders", "", px(346), px(410), px(80), px(25), 11, true, Look::Default, true, false, kBelowRight},
    {"cmdRestoreArchive", 5018, K::Button, "Whole Archive", "Restore everything in this archive", "", px(430), px(410), px(112), px(25), 12, true, Look::Default, true, false, kBelowRight},
    {"cmdRestoreCancel", 5019, K::Button, "Cancel", "Stop the restore or the test", "", px(546), px(410), px(70), px(25), 13, true, Look::Default, true, false, kBelowRight},
    {"cmdRestoreClose", 5020, K::Button, "Close", "", "", px(620), px(410), px(72), px(25), 14, true, Look::Default, true, false, kBelowRight},
    {"lblRestoreStatus", 5021, K::TextLabel, "", "", "", px(8), px(442), px(684), px(17), -1, true, Look::Default, false, false, kBelowWide},
};
constexpr WindowLayout kRestoreWindow{"Restore Files", px(700), px(466), false, kRestoreControls, "cmdRestore", true, {}, true};
static_assert(IsSoundLayout(kRestoreWindow));

// A file in the way of a restored one.
constexpr ControlLayout kConflictControls[] = {
    {"lblConflict", 5101, K::TextLabel, "", "", "", px(8), px(8), px(424), px(86), -1, true, Look::Default, false},
    {"chkConflictAll", 5102, K::CheckBox, "Do the same for every other file in the way", "", "", px(8), px(100), px(424), px(20), 0, true, Look::Default, false},
    {"cmdKeepBoth", 5103, K::Button, "Keep Both", "Restore it beside the file, its name followed by the archive's month", "", px(8), px(128), px(136), px(25), 1, true, Look::Default},
    {"cmdOverwrite", 5104, K::Button, "Overwrite", "Put the restored file in place of this one", "", px(152), px(128), px(136), px(25), 2, true, Look::Default},
    {"cmdSkip", 5105, K::Button, "Skip", "Leave this file as it is and restore nothing in its place", "", px(296), px(128), px(136), px(25), 3, true, Look::Default},
};
constexpr WindowLayout kConflictWindow{"A File Is in the Way", px(440), px(162), false, kConflictControls, "cmdKeepBoth", true};
static_assert(IsSoundLayout(kConflictWindow));

}  // namespace

const WindowLayout& RestoreWindowLayout() { return kRestoreWindow; }

const WindowLayout& ConflictWindowLayout() { return kConflictWindow; }

}  // namespace app
