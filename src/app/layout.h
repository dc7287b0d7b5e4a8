// The control tables: the one list of each window's controls, with for
// every control its name, ID, kind, caption, tooltip, frame, geometry in
// twips, tab order and look.
#pragma once

#include <functional>
#include <span>
#include <string_view>

namespace app {

enum class ControlKind { GroupFrame, TextLabel, TextBox, Button, CheckBox, OptionButton, ComboBox, ListBox, ProgressBar, Table };

// How a control follows the edges of a window the user resizes: flags to
// combine, nothing for a control that stays where the table puts it.
namespace follow {
inline constexpr int kRight = 1;   // moves with the right edge
inline constexpr int kBottom = 2;  // moves with the bottom edge
inline constexpr int kWidth = 4;   // grows with the width
inline constexpr int kHeight = 8;  // grows with the height
}  // namespace follow

// How a control draws, beyond the system's defaults.
enum class Look {
    Default,
    OnDesktop,           // desktop-coloured background, 3-D highlight text
    OnDesktopHighlight,  // desktop-coloured background, highlight-text colour
    Link,                // bold and underlined
    ReadOnly,            // a display field the program fills
    PathOnDesktop,       // read-only display field in the desktop colour, 3-D highlight text
    PathOnDesktopHighlight,
    MultiLine,           // read-only multi-line text with a vertical scroll bar
    StatusLine,          // a push button whose caption may warn, in the warning colour
};

struct ControlLayout {
    std::string_view name;
    int id;  // the child window's ID, unique within its window
    ControlKind kind;
    std::string_view caption;
    std::string_view tooltip;
    std::string_view frame;  // the enclosing frame's name; empty for the window itself
    int left, top, width, height;  // twips, relative to the enclosing frame
    int tabIndex;                  // -1: not a tab stop
    bool visible;
    Look look;
    bool bold = true;
    bool startsGroup = false;  // first of a group the arrow keys move within
    int follows = 0;           // follow:: flags
};

struct WindowLayout {
    std::string_view caption;
    int clientWidth, clientHeight;  // twips
    bool desktopBackground;
    std::span<const ControlLayout> controls;
    std::string_view defaultButton = {};  // pressed by Enter
    bool closesOnEscape = false;
    std::string_view escapeButton = {};  // pressed by Esc while it is enabled
    bool resizable = false;  // never smaller than its table's size
};

// What the windows are built on: each name and ID once, each tab stop once,
// every enclosing frame a frame listed before what it encloses, and default
// and Esc buttons that are buttons of the table.
constexpr bool IsSoundLayout(const WindowLayout& layout) {
    std::span<const ControlLayout> controls = layout.controls;
    bool defaultFound = layout.defaultButton.empty();
    bool escapeFound = layout.escapeButton.empty();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlLayout& row = controls[i];
        if (row.id <= 0 || row.name.empty()) return false;
        bool frameFound = row.frame.empty();
        for (std::size_t j = 0; j < i; ++j) {
            const ControlLayout& earlier = controls[j];
            if (earlier.name == row.name || earlier.id == row.id) return false;
            if (row.tabIndex >= 0 && earlier.tabIndex == row.tabIndex) return false;
            if (earlier.name == row.frame && earlier.kind == ControlKind::GroupFrame) frameFound = true;
        }
        if (!frameFound) return false;
        if (row.name == layout.defaultButton && row.kind == ControlKind::Button) defaultFound = true;
        if (row.name == layout.escapeButton && row.kind == ControlKind::Button) escapeFound = true;
    }
    return defaultFound && escapeFound;
}

const WindowLayout& MainWindowLayout();
const WindowLayout& HelpWindowLayout();
const WindowLayout& EulaWindowLayout();
const WindowLayout& BrowseUsersWindowLayout();
const WindowLayout& ReportWindowLayout();
const WindowLayout& ScheduleWindowLayout();
const WindowLayout& RestoreWindowLayout();
const WindowLayout& ConflictWindowLayout();

// The ID of a control of any window by its name; 0 for an unknown name.
int ControlIdOf(std::string_view name);
// The name of the main window's control with this ID; empty for none.
std::string_view MainWindowControlName(int id);

class Control;
class ControlSet;

// Gives the form's controls the captions and start visibility of the table;
// throws std::logic_error when a row names no control of the form.
void ApplyLayout(const WindowLayout& layout, const ControlSet& controls);

// Twips to pixels at the given dots per inch.
constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace app
