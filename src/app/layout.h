// The control tables: for every control of a window, its name, kind,
// caption, tooltip, frame, geometry in twips, tab order and look.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace app {

enum class ControlKind { GroupFrame, TextLabel, TextBox, Button, CheckBox, OptionButton, ComboBox, ListBox };

// How a control draws, beyond the system's defaults.
enum class Look {
    Default,
    OnDesktop,           // desktop-coloured background, 3-D highlight text
    OnDesktopHighlight,  // desktop-coloured background, highlight-text colour
    Link,                // bold and underlined
    ReadOnly,            // a display field the program fills
    PathOnDesktop,       // read-only display field in the desktop colour, 3-D highlight text
    PathOnDesktopHighlight,
    MultiLine,           // multi-line text with a vertical scroll bar
};

struct ControlLayout {
    std::string_view name;
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
};

struct WindowLayout {
    std::string_view caption;
    int clientWidth, clientHeight;  // twips
    bool desktopBackground;
    std::vector<ControlLayout> controls;
};

const WindowLayout& MainWindowLayout();
const WindowLayout& HelpWindowLayout();
const WindowLayout& EulaWindowLayout();
const WindowLayout& BrowseUsersWindowLayout();

class Control;

// Gives the form's controls the captions and start visibility of the table.
void ApplyLayout(const WindowLayout& layout, const std::function<Control*(std::string_view)>& controlOf);

// Twips to pixels at the given dots per inch.
constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace app
