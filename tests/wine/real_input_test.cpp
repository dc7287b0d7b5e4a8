// The real window used as a person uses it: key presses and mouse clicks
// through the system's input queue, never messages sent to the controls.
#include "prefix_state.h"
#include "program_driver.h"
#include "real_input.h"

#include <gtest/gtest.h>

namespace {

using namespace wine_test;
using platform::win32::narrow;
using platform::win32::widen;

bool PutOnClipboard(std::wstring_view text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (auto* target = static_cast<wchar_t*>(::GlobalLock(memory))) {
        text.copy(target, text.size());
        target[text.size()] = L'\0';
        ::GlobalUnlock(memory);
    }
    bool placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!placed) ::GlobalFree(memory);
    ::CloseClipboard();
    return placed;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Where the pictures of a session go, when asked for (QUENFOLD_SHOTS).
void markForPicture(const char* step) {
    wchar_t folder[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"QUENFOLD_SHOTS", folder, MAX_PATH)) return;
    std::wstring ready = std::wstring(folder) + L"\\" + widen(step);
    placeFile(narrow(ready) + ".ready", true);
    waitFor([&] { return ::GetFileAttributesW((ready + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; }, 10s);
}

class RealInput : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSettings();
        installArchivers(true, true);
        ::GetLocalTime(&today);
        year = std::to_string(today.wYear);
        month = twoDigits(today.wMonth);
        ScratchFolder::removeTree("C:\\quenfold-rx");
        ::SHCreateDirectoryExW(nullptr, L"C:\\quenfold-rx\\Data\\Sub", nullptr);
        placeFile("C:\\quenfold-rx\\Data\\a.txt", true);
        placeFile("C:\\quenfold-rx\\Data\\Sub\\b.txt", true);
        program = std::make_unique<ProgramDriver>(QuenfoldExePath());
        ASSERT_NE(program->waitForMainWindow(), nullptr);
        ASSERT_TRUE(BringToFront(program->mainWindow()));
    }
    void TearDown() override {
        program.reset();
        ScratchFolder::removeTree("C:\\quenfold-rx");
        for (const char* profile : {"Ann Lee", "Bo Chan"})
            ScratchFolder::removeTree(std::string("C:\\Documents and Settings\\") + profile);
    }

    // The edit inside a drop-down list takes the typing.
    HWND editOf(const char* control) {
        HWND window = program->control(control);
        HWND edit = ::FindWindowExW(window, nullptr, L"Edit", nullptr);
        return edit ? edit : window;
    }

    // Clicks into the field and empties it with the keyboard.
    void clearByKeys(const char* control) {
        ClickAt(CentreOf(editOf(control)));
        PressKey(VK_HOME);
        PressChord(VK_SHIFT, VK_END);
        PressKey(VK_BACK);
        ASSERT_TRUE(program->waitForText(control, "", 30s)) << control;
    }

    void typeInto(const char* control, std::wstring_view keys) {
        clearByKeys(control);
        TypeText(keys);
    }

    bool focusMovesTo(const char* control) {
        return waitFor([&] { return program->focusedControl() == control; }, 10s);
    }

    // The open list of a drop-down: a top-level list box of the program.
    HWND openList() {
        HWND found = nullptr;
        waitFor([&] { return (found = program->topLevel(L"ComboLBox")) != nullptr; }, 5s);
        return found;
    }

    // Opens the drop-down with its arrow and clicks the item.
    void pickWithMouse(const char* control, int index, const char* pictureOfOpenList = nullptr) {
        RECT combo = {};
        ::GetWindowRect(program->control(control), &combo);
        ClickAt({combo.right - 6, (combo.top + combo.bottom) / 2});
        HWND list = openList();
        ASSERT_NE(list, nullptr);
        if (pictureOfOpenList) markForPicture(pictureOfOpenList);
        ClickAt(itemCentre(list, index));
    }

    static POINT itemCentre(HWND list, int index) {
        RECT frame = {};
        ::GetWindowRect(list, &frame);
        POINT client = {0, 0};
        ::ClientToScreen(list, &client);
        auto height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        auto top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        return {(frame.left + frame.right) / 2, client.y + (index - top) * height + height / 2};
    }

    std::string exampleName(const std::string& stem, const std::string& yearText, const std::string& monthText) {
        return "C:\\Backup Zips\\" + stem + "-" + yearText + monthText + ".zip";
    }

    SYSTEMTIME today{};
    std::string year;
    std::string month;
    std::unique_ptr<ProgramDriver> program;
};

// --- typing -------------------------------------------------------------------

TEST_F(RealInput, TypingIntoTheTextFieldsKeyByKey) {
    typeInto("txtSpecificBackupFileName", L"Dcs\b\bocs");
    ASSERT_TRUE(program->waitForText("txtSpecificBackupFileName", "Docs"));
    EXPECT_EQ(program->text("txtExampleFileName"), exampleName("Docs", year, month));

    typeInto("txtUsers", L"ann leee\b");
    ASSERT_TRUE(program->waitForText("txtUsers", "ann lee"));
    EXPECT_EQ(program->text("txtSpecificUserFileName"), exampleName("ann lee", year, month));
    EXPECT_EQ(program->text("txtSpecificUserFiles"), "C:\\Documents and Settings\\Ann Lee\\My Documents\\*.*");
}

// A path on the clipboard pasted with Ctrl+V, then the rest typed.
TEST_F(RealInput, PastingAndTypingFolderPaths) {
    struct Case {
        const char* field;
        const wchar_t* pasted;
        const wchar_t* typed;
        std::string expected;
        const char* composed;
        std::string composedValue;
    };
    for (const Case& c : {Case{"TxtSrc", L"C:\\quenfold-rx\\", L"Dats\ba", "C:\\quenfold-rx\\Data",
                               "txtSpecificDirectoryFiles", "C:\\quenfold-rx\\Data\\*.*"},
                          Case{"txtDefaultPath", L"C:\\quenfold-rx\\", L"Zipz\bs", "C:\\quenfold-rx\\Zips",
                               "txtSpecificUserFileName", "C:\\quenfold-rx\\Zips\\" + loggedOnUser() + "-" + year +
                                                              month + ".zip"}}) {
        ASSERT_TRUE(PutOnClipboard(c.pasted));
        clearByKeys(c.field);
        PressChord(VK_CONTROL, 'V');
        TypeText(c.typed);
        ASSERT_TRUE(program->waitForText(c.field, c.expected, 60s)) << c.field << ": " << program->text(c.field);
        EXPECT_TRUE(program->waitForText(c.composed, c.composedValue, 30s)) << program->text(c.composed);
    }
    EXPECT_TRUE(program->waitForText("txtFileCountSpecific", "2", 30s));
    EXPECT_EQ(program->text("txtFolderCountSpecific"), "1");
}

// Each key stays where it was typed, and the names take the text as typed.
TEST_F(RealInput, TypedYearAndMonthStayAsTyped) {
    typeInto("cmbFileNameYear", L"1999");
    typeInto("cmbFileNameMonth", L"08\b7");
    typeInto("txtSpecificBackupFileName", L"Docs");
    ASSERT_TRUE(program->waitForText("txtExampleFileName", exampleName("Docs", "1999", "07")))
        << program->text("txtExampleFileName");
    EXPECT_EQ(program->text("cmbFileNameYear"), "1999");
    EXPECT_EQ(program->text("cmbFileNameMonth"), "07");
    markForPicture("typed-year-and-month");
}

// --- picks --------------------------------------------------------------------

TEST_F(RealInput, RepickingTheYearWithTheMouseAfterTypingTakesThePick) {
    typeInto("txtSpecificBackupFileName", L"Docs");
    typeInto("cmbFileNameYear", L"1999");
    ASSERT_TRUE(program->waitForText("cmbFileNameYear", "1999"));
    markForPicture("year-typed");
    pickWithMouse("cmbFileNameYear", 2, "year-list-open-after-typing");  // the year selected before the typing
    ASSERT_TRUE(program->waitForText("txtExampleFileName", exampleName("Docs", year, month)))
        << program->text("txtExampleFileName");
    EXPECT_EQ(program->text("cmbFileNameYear"), year);
    EXPECT_TRUE(focusMovesTo("btnHelp")) << program->focusedControl();  // two Tabs on
    markForPicture("year-repicked");
}

TEST_F(RealInput, PickingAMonthWithTheMouse) {
    typeInto("txtSpecificBackupFileName", L"Docs");
    int other = today.wMonth == 1 ? 1 : 0;
    pickWithMouse("cmbFileNameMonth", other);
    ASSERT_TRUE(program->waitForText("txtExampleFileName", exampleName("Docs", year, twoDigits(other + 1))));
    EXPECT_TRUE(focusMovesTo("btnHelp")) << program->focusedControl();  // one Tab on
    markForPicture("picked-month");
}

TEST_F(RealInput, PicksWithTheKeyboard) {
    typeInto("txtSpecificBackupFileName", L"Docs");
    // Typed over, then the open list walked from its top and taken with Enter:
    // with no item selected, the first Down takes the first item.
    typeInto("cmbFileNameMonth", L"13");
    PressKey(VK_F4);
    ASSERT_NE(openList(), nullptr);
    for (int i = 0; i < 3; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(program->waitForText("txtExampleFileName", exampleName("Docs", year, "03")))
        << program->text("txtExampleFileName");
    EXPECT_EQ(program->text("cmbFileNameMonth"), "03");
    EXPECT_TRUE(focusMovesTo("btnHelp")) << program->focusedControl();

    // An arrow key on the closed year list picks the next year at once.
    ClickAt(CentreOf(editOf("cmbFileNameYear")));
    PressKey(VK_DOWN);
    ASSERT_TRUE(program->waitForText("txtExampleFileName", exampleName("Docs", std::to_string(today.wYear + 1), "03")))
        << program->text("txtExampleFileName");
    EXPECT_TRUE(focusMovesTo("btnHelp")) << program->focusedControl();  // from the year: two Tabs
}

// The open list walked and closed with Esc is no pick: the names use what
// the list then shows, and nothing moves the focus.
TEST_F(RealInput, AListClosedWithEscIsNoPick) {
    typeInto("txtSpecificBackupFileName", L"Doc");
    ClickAt(CentreOf(editOf("cmbFileNameYear")));
    PressKey(VK_F4);
    ASSERT_NE(openList(), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(waitFor([&] { return program->topLevel(L"ComboLBox") == nullptr; }, 5s));
    std::string shown = program->text("cmbFileNameYear");
    EXPECT_EQ(program->focusedControl(), "cmbFileNameYear");
    typeInto("txtSpecificBackupFileName", L"Docs");
    ASSERT_TRUE(program->waitForText("txtExampleFileName", exampleName("Docs", shown, month)))
        << "shown " << shown << ", composed " << program->text("txtExampleFileName");
}

// --- focus --------------------------------------------------------------------

TEST_F(RealInput, TabFromEachEntryField) {
    struct Case {
        const char* from;
        const char* to;
    };
    for (const Case& c : {Case{"TxtSrc", "btnBrowseSpecific"}, Case{"txtSpecificBackupFileName", "btnSpecificBackup"},
                          Case{"txtUsers", "btnBrowseForUsers"}, Case{"txtDefaultPath", "btnBrowseDefault"},
                          Case{"cmbFileNameYear", "cmbFileNameMonth"}, Case{"cmbFileNameMonth", "btnHelp"}}) {
        ClickAt(CentreOf(editOf(c.from)));
        ASSERT_TRUE(focusMovesTo(c.from)) << program->focusedControl();
        PressKey(VK_TAB);
        EXPECT_TRUE(focusMovesTo(c.to)) << c.from << " went to " << program->focusedControl();
    }
}

// The option turns with a click and with the space bar, is saved for the
// user as it turns, and the next start shows it.
TEST_F(RealInput, TestEachArchiveTurnsWithAClickOrSpaceAndIsKept) {
    // A message sent to the window returns once the click's handler has
    // saved: reading while the program replaces the file would fail it.
    auto savedWhenShown = [&](bool on) -> std::optional<std::string> {
        if (!waitFor([&] { return program->checked("chkTestAfterBackup") == on; }, 15s)) return std::nullopt;
        ::SendMessageW(program->mainWindow(), WM_NULL, 0, 0);
        return platform::win32::Win32Os().readFile(userSettingsFolder() + "\\TestAfterBackup.txt");
    };
    EXPECT_FALSE(program->checked("chkTestAfterBackup"));
    ClickAt(CentreOf(program->control("chkTestAfterBackup")));
    EXPECT_EQ(savedWhenShown(true), "1\r\n");
    ASSERT_TRUE(focusMovesTo("chkTestAfterBackup")) << program->focusedControl();
    PressKey(VK_SPACE);
    EXPECT_EQ(savedWhenShown(false), "0\r\n");
    PressKey(VK_SPACE);
    EXPECT_EQ(savedWhenShown(true), "1\r\n");

    ASSERT_TRUE(program->closeAndWait());
    program = std::make_unique<ProgramDriver>(QuenfoldExePath());
    ASSERT_NE(program->waitForMainWindow(), nullptr);
    EXPECT_TRUE(program->checked("chkTestAfterBackup"));
}

// --- the small windows ----------------------------------------------------------

class ChooserInput : public RealInput {
protected:
    void SetUp() override {
        for (const char* profile : {"Ann Lee", "Bo Chan"})
            ::SHCreateDirectoryExW(nullptr, widen(std::string("C:\\Documents and Settings\\") + profile).c_str(),
                                   nullptr);
        RealInput::SetUp();
    }
    void TearDown() override {
        RealInput::TearDown();
        for (int i = 1; i <= 40; ++i) ScratchFolder::removeTree("C:\\Documents and Settings\\Many " + twoDigits(i));
    }

    HWND openChooser() {
        ClickAt(CentreOf(program->control("btnBrowseForUsers")));
        HWND chooser = nullptr;
        waitFor([&] { return (chooser = program->window("Browse for Users")) != nullptr; }, 10s);
        return chooser;
    }

    int indexOf(HWND chooser, const std::string& name) {
        auto users = program->listItems(chooser, "lstUsers");
        return static_cast<int>(std::find(users.begin(), users.end(), name) - users.begin());
    }
};

TEST_F(ChooserInput, DoubleClickTakesTheUser) {
    HWND chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    int bo = indexOf(chooser, "Bo Chan");
    DoubleClickAt(itemCentre(program->controlIn(chooser, "lstUsers"), bo));
    ASSERT_TRUE(program->waitForText("txtUsers", "Bo Chan"));
    EXPECT_TRUE(waitFor([&] { return program->window("Browse for Users") == nullptr; }, 5s));
}

TEST_F(ChooserInput, ArrowKeysAndEnterTakeTheUser) {
    HWND chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(BringToFront(chooser));
    int ann = indexOf(chooser, "Ann Lee");
    PressKey(VK_HOME);  // the list has the focus: it is the first tab stop
    for (int i = 0; i < ann; ++i) PressKey(VK_DOWN);
    markForPicture("chooser-keyboard");
    PressKey(VK_RETURN);
    ASSERT_TRUE(program->waitForText("txtUsers", "Ann Lee")) << program->text("txtUsers");
    EXPECT_TRUE(waitFor([&] { return program->window("Browse for Users") == nullptr; }, 5s));
}

// A selection changes the list's selection only: the items stay, and with
// them the place the user scrolled to.
TEST_F(ChooserInput, SelectingInALongListKeepsItsScrollPosition) {
    for (int i = 1; i <= 40; ++i)
        ::SHCreateDirectoryExW(nullptr, widen("C:\\Documents and Settings\\Many " + twoDigits(i)).c_str(), nullptr);
    HWND chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    HWND list = program->controlIn(chooser, "lstUsers");
    ASSERT_TRUE(BringToFront(chooser));
    for (int i = 0; i < 41; ++i) PressKey(VK_DOWN);  // down to the end
    LRESULT scrolledTo = 0;
    ASSERT_TRUE(waitFor([&] { return (scrolledTo = ::SendMessageW(list, LB_GETTOPINDEX, 0, 0)) > 0; }, 5s));
    int middle = static_cast<int>(scrolledTo) + 3;
    ClickAt(itemCentre(list, middle));
    EXPECT_TRUE(waitFor([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == middle; }, 5s));
    EXPECT_EQ(::SendMessageW(list, LB_GETTOPINDEX, 0, 0), scrolledTo);
    std::string picked = program->listItems(chooser, "lstUsers")[static_cast<std::size_t>(middle)];
    PressKey(VK_RETURN);
    EXPECT_TRUE(program->waitForText("txtUsers", picked)) << program->text("txtUsers");
}

TEST_F(ChooserInput, EscClosesEachSmallWindowAndTakesNothing) {
    std::string userBefore = program->text("txtUsers");
    struct Case {
        const char* button;
        const char* caption;
    };
    for (const Case& c : {Case{"btnBrowseForUsers", "Browse for Users"}, Case{"btnHelp", "Quenfold HELP"},
                          Case{"btnEULA", "Quenfold EULA"}}) {
        ASSERT_TRUE(BringToFront(program->mainWindow()));
        ClickAt(CentreOf(program->control(c.button)));
        HWND window = nullptr;
        ASSERT_TRUE(waitFor([&] { return (window = program->window(c.caption)) != nullptr; }, 10s)) << c.caption;
        ASSERT_TRUE(BringToFront(window));
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(waitFor([&] { return !::IsWindow(window); }, 5s)) << c.caption;
    }
    EXPECT_EQ(program->text("txtUsers"), userBefore);
    EXPECT_NE(program->window("Quenfold"), nullptr);
}

TEST_F(RealInput, HelpTextCannotBeEditedButCanBeSelectedCopiedAndScrolled) {
    ClickAt(CentreOf(program->control("btnHelp")));
    HWND help = nullptr;
    ASSERT_TRUE(waitFor([&] { return (help = program->window("Quenfold HELP")) != nullptr; }, 10s));
    ASSERT_TRUE(BringToFront(help));
    HWND text = program->controlIn(help, "txtHelp");
    std::string before = program->textIn(help, "txtHelp");
    ClickAt(CentreOf(text));
    TypeText(L"xyz\b");
    PressChord(VK_CONTROL, VK_HOME);
    PressChord(VK_SHIFT, VK_END);
    PressChord(VK_CONTROL, 'C');
    EXPECT_EQ(program->textIn(help, "txtHelp"), before);
    EXPECT_TRUE(waitFor([] { return ClipboardText() == L"PREREQUISITES"; }, 5s)) << narrow(ClipboardText());
    PressKey(VK_NEXT);
    PressKey(VK_NEXT);
    EXPECT_TRUE(waitFor([&] { return ::SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0) > 0; }, 5s));
}

}  // namespace
