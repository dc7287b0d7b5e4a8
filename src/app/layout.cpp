#include "app/layout.h"

#include "app/controls.h"

#include <stdexcept>
#include <string>

namespace app {

void ApplyLayout(const WindowLayout& layout, const ControlSet& controls) {
    for (const auto& row : layout.controls) {
        Control* target = controls.find(row.name);
        if (!target) throw std::logic_error("The window \"" + std::string(layout.caption) + "\" has no control " +
                                            std::string(row.name) + ".");
        target->setVisible(row.visible);
        if (auto* captioned = dynamic_cast<Captioned*>(target)) captioned->setCaption(std::string(row.caption));
    }
}

int ControlIdOf(std::string_view name) {
    for (const WindowLayout* layout : {&MainWindowLayout(), &HelpWindowLayout(), &BrowseUsersWindowLayout(),
                                         &ReportWindowLayout(), &ScheduleWindowLayout(),
                                         &RestoreWindowLayout(), &ConflictWindowLayout()})
        for (const auto& row : layout->controls)
            if (row.name == name) return row.id;
    return 0;
}

std::string_view MainWindowControlName(int id) {
    for (const auto& row : MainWindowLayout().controls)
        if (row.id == id) return row.name;
    return {};
}

}  // namespace app
