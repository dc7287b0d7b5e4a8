// Drives the real quenfold.exe from outside, as a user would: finds its
// windows, reads and sets its controls by name and answers its messages.
#pragma once

#include "platform/win32/handles.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace wine_test {

using namespace std::chrono_literals;

// The built program in the build tree that holds this executable.
std::wstring QuenfoldExePath();

struct SeenMessage {
    std::string text;
    std::string caption;
    std::vector<std::string> buttons;
};

class ProgramDriver {
public:
    // `arguments` follow the program's quoted path on its command line.
    explicit ProgramDriver(const std::wstring& exePath, const std::wstring& arguments = {});
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    bool started() const { return static_cast<bool>(process_); }

    // The next message box of the program, answered with the button whose
    // command ID is given (IDOK, IDYES, IDNO); nullopt when none appeared.
    std::optional<SeenMessage> answerMessage(int command, std::chrono::milliseconds timeout = 10s);
    // The main window once it is visible; nullptr on time-out.
    HWND waitForMainWindow(std::chrono::milliseconds timeout = 15s);
    // Whether a message box is up now.
    bool messageShowing();

    std::string text(const char* control);
    // Whether the control shows the text before the time is up.
    bool waitForText(const char* control, const std::string& expected, std::chrono::milliseconds timeout = 15s);
    // The name of the control that has the keyboard focus, or empty.
    std::string focusedControl();
    // The open top-level windows of the program with this caption.
    HWND window(const std::string& caption);
    // A visible top-level window of the program of this class, or nullptr.
    HWND topLevel(const wchar_t* windowClass) { return findTopLevel(windowClass); }
    bool processEnded(std::chrono::milliseconds timeout);
    // The process's exit code once it has ended within the time.
    std::optional<DWORD> exitCode(std::chrono::milliseconds timeout = 30s);
    HWND mainWindow() const { return main_; }

    // Controls of any of the program's windows.
    std::string textIn(HWND window, const char* control);
    void clickIn(HWND window, const char* control);
    std::vector<std::string> listItems(HWND window, const char* control);
    void doubleClickListItem(HWND window, const char* control, int index);
    void setText(const char* control, const std::string& text);
    std::vector<std::string> comboItems(const char* control);
    int comboSelection(const char* control);
    void pickComboItem(const char* control, int index);
    bool checked(const char* control);
    // A control of the main window, or of another of the program's windows.
    HWND control(const char* name) { return controlWindow(name); }
    HWND controlIn(HWND window, const char* name);
    bool visible(const char* control);
    void click(const char* control);

    // Closes the main window and waits for the process to end.
    bool closeAndWait(std::chrono::milliseconds timeout = 10s);

private:
    HWND controlWindow(const char* control);
    HWND findTopLevel(const wchar_t* windowClass);

    platform::win32::KernelHandle process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

// Waits until the condition holds or the time is up.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace wine_test
