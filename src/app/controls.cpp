#include "app/controls.h"

#include <algorithm>

namespace app {

Control* ControlSet::find(std::string_view name) const {
    for (Control* control : all_)
        if (control->name() == name) return control;
    return nullptr;
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed();
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed();
}

void Captioned::setCaption(std::string caption) {
    caption_ = std::move(caption);
    changed();
}

void Button::setWarning(bool warning) {
    if (warning == warning_) return;
    warning_ = warning;
    changed();
}

void TextBox::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    changed();
    if (Change) Change();
}

void CheckBox::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    changed();
    if (Click) Click();
}

void OptionButton::group(OptionButton& a, OptionButton& b) {
    a.partner_ = &b;
    b.partner_ = &a;
}

void OptionButton::setValue(bool value) {
    if (value_ == value) return;
    value_ = value;
    if (value && partner_ && partner_->value_) {
        partner_->value_ = false;
        partner_->changed();
    }
    changed();
    if (value && Click) Click();
}

void ComboBox::addItem(std::string item) {
    items_.push_back(std::move(item));
    changed();
}

void ComboBox::clear() {
    items_.clear();
    listIndex_ = -1;
    text_.clear();
    changed();
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= listCount() || index == listIndex_) return;
    listIndex_ = index;
    if (index >= 0) text_ = items_[static_cast<std::size_t>(index)];
    changed();
    if (Click) Click();
}

void ComboBox::setText(std::string text) {
    if (text == text_ && listIndex_ == -1) return;
    text_ = std::move(text);
    listIndex_ = -1;
    changed();
}

void ProgressBar::setValue(int value) {
    value = std::clamp(value, 0, kFull);
    if (value_ == value) return;
    value_ = value;
    changed();
}

void ProgressBar::setMarquee(bool marquee) {
    if (marquee_ == marquee) return;
    marquee_ = marquee;
    changed();
}

void ListBox::addItem(std::string item) {
    items_.push_back(std::move(item));
    changed();
}

void ListBox::clear() {
    items_.clear();
    listIndex_ = -1;
    changed();
}

void ListBox::setListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()) || index == listIndex_) return;
    listIndex_ = index;
    changed();
}

void Table::setColumns(std::vector<Column> columns) {
    columns_ = std::move(columns);
    changed();
}

void Table::setRows(std::vector<Row> rows) {
    rows_ = std::move(rows);
    ++rowsVersion_;
    selection_.clear();
    changed();
}

void Table::setSelection(std::vector<int> selection) {
    std::sort(selection.begin(), selection.end());
    selection.erase(std::remove_if(selection.begin(), selection.end(),
                                   [&](int row) { return row < 0 || row >= static_cast<int>(rows_.size()); }),
                    selection.end());
    selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
    if (selection == selection_) return;
    selection_ = std::move(selection);
    changed();
    if (SelChange) SelChange();
}

}  // namespace app
