#include "app/program.h"

#include "app/help_texts.h"
#include "app/layout.h"

namespace app {

Program::Program(platform::Os& os, Session& session, WindowSystem& windows)
    : os_(os), windows_(windows), session_(session) {}

template <typename Form>
void Program::open(Slot<Form>& slot, const WindowLayout& layout, std::unique_ptr<Form> form) {
    slot.form = std::move(form);
    Form* raw = slot.form.get();
    slot.host = windows_.createWindow(
        layout, [raw](std::string_view name) { return raw->control(name); }, [this, &slot] { closed(slot); });
}

template <typename Form>
void Program::close(Slot<Form>& slot) {
    if (slot.host) slot.host->close();
}

// The window is gone; its form and view may still be on the stack.
template <typename Form>
void Program::closed(Slot<Form>& slot) {
    retired_.push_back(std::shared_ptr<Form>(std::move(slot.form)));
    retired_.push_back(std::shared_ptr<WindowHost>(std::move(slot.host)));
    windows_.post([this] { retired_.clear(); });
    if (!reloading_ && !main_.host && !help_.host && !eula_.host && !users_.host) windows_.quit();
}

void Program::start() { loadMainWindow(); }

void Program::loadMainWindow() {
    open(main_, MainWindowLayout(), std::make_unique<frmQuenfoldBackup>(os_, session_, *this));
    main_.form->setHost(*main_.host);
    main_.form->Form_Load();
}

void Program::openTextWindow(Slot<frmTextWindow>& slot, const WindowLayout& layout, std::string text) {
    close(slot);
    open(slot, layout, std::make_unique<frmTextWindow>(std::move(text), [this, &slot] { close(slot); }));
    slot.form->Form_Load();
    slot.host->show();
}

void Program::openHelp() { openTextWindow(help_, HelpWindowLayout(), HelpText()); }

void Program::openEula() { openTextWindow(eula_, EulaWindowLayout(), EulaText()); }

void Program::openBrowseUsers() {
    close(users_);
    open(users_, BrowseUsersWindowLayout(),
         std::make_unique<frmBrowseUsers>(os_, session_, [this] { userTaken(); }));
    users_.form->Form_Load();
    users_.host->show();
}

void Program::userTaken() {
    close(users_);
    if (!main_.form) return;
    main_.host->show();
    main_.form->Reset2();
}

void Program::closeSecondaryWindows() {
    close(users_);
    close(eula_);
    close(help_);
}

void Program::reset() {
    closeSecondaryWindows();
    // The main window is rebuilt once the Reset button's handler has returned.
    windows_.post([this] {
        reloading_ = true;
        close(main_);
        reloading_ = false;
        loadMainWindow();
    });
}

void Program::quit() {
    closeSecondaryWindows();
    close(main_);
    windows_.quit();
}

}  // namespace app
