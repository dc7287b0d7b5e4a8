// The form model: controls whose properties, when set from code, run the
// same handler as the user's action, at once and nested. The Win32 view
// mirrors them into real windows; tests drive them directly.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class Control;

// The controls of one form, found by name; each joins its form's set as it
// is constructed.
class ControlSet {
public:
    ControlSet() = default;
    ControlSet(const ControlSet&) = delete;
    ControlSet& operator=(const ControlSet&) = delete;

    void add(Control& control) { all_.push_back(&control); }
    // nullptr for a name no control of the form has.
    Control* find(std::string_view name) const;
    const std::vector<Control*>& all() const { return all_; }

    // The user asks to close the window (its close box): false keeps it open.
    std::function<bool()> QueryUnload;

private:
    std::vector<Control*> all_;
};

class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    Control(ControlSet& form, std::string name) : name_(std::move(name)) { form.add(*this); }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return name_; }

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Set by the view to mirror every model change into the real control.
    std::function<void()> onModelChanged;

protected:
    void changed() const {
        if (onModelChanged) onModelChanged();
    }

private:
    std::string name_;
    bool visible_ = true;
    bool enabled_ = true;
};

// Frames, labels and buttons: a caption and nothing else to remember.
class Captioned : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

using Frame = Captioned;
using Label = Captioned;

class Button : public Captioned {
public:
    using Captioned::Captioned;
    std::function<void()> Click;
    void click() {
        if (Click) Click();
    }
    // Esc pressing the window's Esc button: Escape where it is set, else Click.
    std::function<void()> Escape;
    void escape() {
        if (Escape)
            Escape();
        else
            click();
    }
    // A caption that warns, drawn in the warning colour.
    bool warning() const { return warning_; }
    void setWarning(bool warning);

private:
    bool warning_ = false;
};

class TextBox : public Control {
public:
    using Control::Control;
    const std::string& text() const { return text_; }
    // Change runs only when the text really changes.
    void setText(std::string text);
    std::function<void()> Change;

private:
    std::string text_;
};

class CheckBox : public Captioned {
public:
    using Captioned::Captioned;
    int value() const { return value_; }
    // Click runs when the value changes, from code or from the user.
    void setValue(int value);
    std::function<void()> Click;

private:
    int value_ = 0;
};

class OptionButton : public Captioned {
public:
    using Captioned::Captioned;
    // Makes the two buttons one group: selecting one clears the other.
    static void group(OptionButton& a, OptionButton& b);

    bool value() const { return value_; }
    // Click runs when the button becomes selected.
    void setValue(bool value);
    std::function<void()> Click;

private:
    bool value_ = false;
    OptionButton* partner_ = nullptr;
};

// An editable drop-down list.
class ComboBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    int listCount() const { return static_cast<int>(items_.size()); }
    int listIndex() const { return listIndex_; }
    const std::string& text() const { return text_; }

    void addItem(std::string item);
    // Removes every item and the text; runs no handler.
    void clear();
    // Click runs when the selected index changes; the text follows the item.
    void setListIndex(int index);
    // Typed or assigned text: no item is selected any more, so that picking
    // any item afterwards, even the one selected before, runs Click. No
    // handler runs.
    void setText(std::string text);
    std::function<void()> Click;

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string text_;
};

// A bar filling from 0 to kFull, or, with `marquee`, moving to and fro when
// nothing says how far the work is.
class ProgressBar : public Control {
public:
    static constexpr int kFull = 1000;
    using Control::Control;
    int value() const { return value_; }
    bool marquee() const { return marquee_; }
    // Clamped to 0..kFull.
    void setValue(int value);
    void setMarquee(bool marquee);

private:
    int value_ = 0;
    bool marquee_ = false;
};

class ListBox : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    int listIndex() const { return listIndex_; }
    void addItem(std::string item);
    void clear();
    void setListIndex(int index);
    std::function<void()> DblClick;
    void doubleClick() {
        if (DblClick) DblClick();
    }

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

// Rows of text under column headings, any number of them selected.
class Table : public Control {
public:
    struct Column {
        std::string heading;
        int width;  // pixels at 96 dots per inch
    };
    using Row = std::vector<std::string>;

    using Control::Control;
    const std::vector<Column>& columns() const { return columns_; }
    void setColumns(std::vector<Column> columns);
    const std::vector<Row>& rows() const { return rows_; }
    // New rows: nothing selected; runs no handler.
    void setRows(std::vector<Row> rows);
    // Counts every change of the rows, so a view can tell its copy is old.
    unsigned rowsVersion() const { return rowsVersion_; }
    // Selected row indices, ascending.
    const std::vector<int>& selection() const { return selection_; }
    // SelChange runs when the selection really changes.
    void setSelection(std::vector<int> selection);
    std::function<void()> SelChange;
    std::function<void()> DblClick;
    void doubleClick() {
        if (DblClick) DblClick();
    }

private:
    std::vector<Column> columns_;
    std::vector<Row> rows_;
    unsigned rowsVersion_ = 0;
    std::vector<int> selection_;
};

}  // namespace app
