#include "app/layout.h"

#include "app/controls.h"

namespace app {

void ApplyLayout(const WindowLayout& layout, const std::function<Control*(std::string_view)>& controlOf) {
    for (const auto& row : layout.controls) {
        Control* target = controlOf(row.name);
        target->setVisible(row.visible);
        if (auto* captioned = dynamic_cast<Captioned*>(target)) captioned->setCaption(std::string(row.caption));
    }
}

}  // namespace app
