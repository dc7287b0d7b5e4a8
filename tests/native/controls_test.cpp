// The form model's event rules, on which every handler sequence depends.
#include "app/controls.h"

#include <gtest/gtest.h>

namespace {

using namespace app;

TEST(Controls, TextChangeRunsOnlyWhenTheTextChanges) {
    TextBox box("txt");
    int changes = 0;
    box.Change = [&] { ++changes; };
    box.setText("a");
    box.setText("a");
    box.setText("");
    EXPECT_EQ(changes, 2);
}

TEST(Controls, HandlersRunNestedBeforeTheSetterReturns) {
    TextBox first("first");
    TextBox second("second");
    std::vector<std::string> order;
    first.Change = [&] {
        order.push_back("first begins");
        second.setText(first.text() + "!");
        order.push_back("first ends");
    };
    second.Change = [&] { order.push_back("second sees " + second.text()); };
    first.setText("x");
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "second sees x!", "first ends"}));
}

TEST(Controls, ComboClickRunsOnIndexChangeOnlyAndTextFollowsTheItem) {
    ComboBox combo("cmb");
    int clicks = 0;
    combo.Click = [&] { ++clicks; };
    combo.addItem("01");
    combo.addItem("02");
    EXPECT_EQ(combo.listIndex(), -1);
    combo.setListIndex(1);
    EXPECT_EQ(combo.text(), "02");
    combo.setListIndex(1);  // same index: no click
    EXPECT_EQ(clicks, 1);
    combo.setListIndex(5);  // out of range: ignored
    EXPECT_EQ(combo.listIndex(), 1);

    combo.clear();
    EXPECT_EQ(combo.listCount(), 0);
    EXPECT_EQ(combo.text(), "");
    EXPECT_EQ(combo.listIndex(), -1);
    EXPECT_EQ(clicks, 1);  // clearing runs no handler
}

// Typing leaves no item selected, so every later pick is a change: the one
// selected before the typing included.
TEST(Controls, TypedComboTextMeansNoSelectionAndAnyLaterPickClicks) {
    struct Case {
        int selectedBefore;
        std::string typed;
        int pickedAfter;
    };
    for (const Case& c : {Case{2, "1999", 2}, Case{2, "1999", 0}, Case{0, "2004", 0}, Case{1, "", 1}}) {
        ComboBox combo("cmbFileNameYear");
        for (const char* year : {"2004", "2005", "2006"}) combo.addItem(year);
        combo.setListIndex(c.selectedBefore);
        std::vector<std::string> clicks;
        combo.Click = [&] { clicks.push_back(combo.text()); };

        combo.setText(c.typed);
        EXPECT_EQ(combo.listIndex(), -1) << c.typed;
        EXPECT_EQ(combo.text(), c.typed);
        EXPECT_TRUE(clicks.empty());

        combo.setListIndex(c.pickedAfter);
        EXPECT_EQ(clicks, std::vector<std::string>{combo.items()[static_cast<std::size_t>(c.pickedAfter)]})
            << "typed " << c.typed << ", picked " << c.pickedAfter;
    }
}

TEST(Controls, TypingTheSameTextAgainTellsTheViewNothing) {
    ComboBox combo("cmb");
    combo.addItem("01");
    int mirrored = 0;
    combo.onModelChanged = [&] { ++mirrored; };
    combo.setText("7");
    combo.setText("7");
    EXPECT_EQ(mirrored, 1);
    combo.setListIndex(0);
    combo.setText("01");  // the item's text, typed: still no selection
    EXPECT_EQ(combo.listIndex(), -1);
    EXPECT_EQ(mirrored, 3);
}

TEST(Controls, ControlsJoinTheirFormsSetAndAreFoundByName) {
    ControlSet form;
    TextBox first(form, "TxtSrc");
    ComboBox second(form, "cmbFileNameYear");
    TextBox loose("txtLoose");
    EXPECT_EQ(form.find("TxtSrc"), &first);
    EXPECT_EQ(form.find("cmbFileNameYear"), &second);
    EXPECT_EQ(form.find("txtLoose"), nullptr);
    EXPECT_EQ(form.find("txtsrc"), nullptr);  // names are exact
    EXPECT_EQ(form.all().size(), 2u);
}

TEST(Controls, OptionGroupKeepsOneSelectedAndClicksOnSelectionOnly) {
    OptionButton yes("optYes");
    OptionButton no("optNo");
    OptionButton::group(yes, no);
    std::vector<std::string> clicks;
    yes.Click = [&] { clicks.push_back("yes"); };
    no.Click = [&] { clicks.push_back("no"); };

    yes.setValue(true);
    no.setValue(true);
    EXPECT_FALSE(yes.value());
    EXPECT_TRUE(no.value());
    no.setValue(true);  // already selected
    yes.setValue(true);
    EXPECT_TRUE(yes.value());
    EXPECT_FALSE(no.value());
    EXPECT_EQ(clicks, (std::vector<std::string>{"yes", "no", "yes"}));
}

TEST(Controls, ViewHearsEveryModelChange) {
    TextBox box("txt");
    int mirrored = 0;
    box.onModelChanged = [&] { ++mirrored; };
    box.setText("a");
    box.setVisible(false);
    box.setVisible(false);
    box.setEnabled(false);
    EXPECT_EQ(mirrored, 3);
}

}  // namespace

TEST(Controls, TableSelectionIsSortedWithinItsRowsAndNewRowsClearIt) {
    struct Case {
        std::vector<int> before;
        std::vector<int> picked;
        std::vector<int> expected;
        int selChanges;
    };
    const Case cases[] = {
        {{}, {2, 0, 2}, {0, 2}, 1},
        {{0, 2}, {2, 0}, {0, 2}, 0},
        {{1}, {3, -1}, {}, 1},
    };
    for (const Case& c : cases) {
        app::Table table("tbl");
        table.setRows({{"a"}, {"b"}, {"c"}});
        table.setSelection(c.before);
        int selChanges = 0;
        table.SelChange = [&] { ++selChanges; };
        table.setSelection(c.picked);
        EXPECT_EQ(table.selection(), c.expected);
        EXPECT_EQ(selChanges, c.selChanges);
        table.setRows({{"d"}});
        EXPECT_TRUE(table.selection().empty());
        EXPECT_EQ(selChanges, c.selChanges);
    }
}
