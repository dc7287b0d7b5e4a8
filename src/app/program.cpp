#include "app/program.h"

#include "app/help_texts.h"
#include "app/layout.h"

#include <stdexcept>
#include <type_traits>

namespace app {

Program::Program(platform::Os& os, WindowSystem& windows, BackgroundCounts& counts, backup::BackupRunner& runner,
                 platform::TaskScheduler& scheduler, std::string programPath, BackgroundWork& work)
    : os_(os),
      windows_(windows),
      counts_(counts),
      runner_(runner),
      scheduler_(scheduler),
      programPath_(std::move(programPath)),
      work_(work) {}

template <typename Form>
bool Program::open(Slot<Form>& slot, const WindowLayout& layout, std::unique_ptr<Form> form,
                   platform::Ui& reportTo, WindowHost* owner) {
    try {
        slot.host = windows_.createWindow(layout, form->controls(), [this, &slot] { closed(slot); }, owner);
    } catch (const std::runtime_error& error) {
        reportTo.showMessage(error.what(), platform::kProgramTitle, platform::MessageButtons::Ok);
        return false;
    }
    slot.form = std::move(form);
    return true;
}

template <typename Form>
void Program::close(Slot<Form>& slot) {
    if (slot.host) slot.host->close();
}

// The window is gone; its form and view may still be on the stack.
template <typename Form>
void Program::closed(Slot<Form>& slot) {
    if constexpr (std::is_same_v<Form, frmQuenfoldBackup>)
        if (slot.form) slot.form->windowGoing();
    retired_.push_back(std::make_shared<Slot<Form>>(std::move(slot)));
    windows_.post([this] { retired_.clear(); });
    if (!reloading_) endIfNoWindowRemains();
}

void Program::endIfNoWindowRemains() {
    if (!main_.host && !help_.host && !eula_.host && !users_.host && !report_.host && !schedule_.host &&
        !restore_.host)
        windows_.quit();
}

platform::Ui& Program::mainUi() { return main_.host ? main_.host->ui() : windows_.ui(); }

void Program::start() { loadMainWindow(); }

void Program::loadMainWindow() {
    if (!open(main_, MainWindowLayout(), std::make_unique<frmQuenfoldBackup>(os_, *this, windows_, counts_, runner_),
              windows_.ui()))
        return endIfNoWindowRemains();
    main_.form->setHost(*main_.host);
    try {
        main_.form->Form_Load();
    } catch (...) {
        // Whatever went wrong is reported; the window stays usable for a
        // Reset or Quit.
        main_.host->show();
        throw;
    }
}

void Program::openTextWindow(Slot<frmTextWindow>& slot, const WindowLayout& layout, std::string text) {
    close(slot);
    if (!open(slot, layout, std::make_unique<frmTextWindow>(std::move(text), [this, &slot] { close(slot); }),
              mainUi()))
        return;
    slot.form->Form_Load();
    slot.host->show();
}

void Program::openHelp() { openTextWindow(help_, HelpWindowLayout(), HelpText()); }

void Program::openEula() { openTextWindow(eula_, EulaWindowLayout(), EulaText()); }

void Program::openReport(std::string text) { openTextWindow(report_, ReportWindowLayout(), std::move(text)); }

void Program::openBrowseUsers() {
    close(users_);
    if (!open(users_, BrowseUsersWindowLayout(),
              std::make_unique<frmBrowseUsers>(os_, [this](const std::string& user) { userTaken(user); }),
              mainUi()))
        return;
    users_.form->Form_Load();
    users_.host->show();
}

void Program::openSchedule(const ScheduleFields& fields) {
    close(schedule_);
    if (!open(schedule_, ScheduleWindowLayout(),
              std::make_unique<frmSchedule>(os_, scheduler_, programPath_, fields, [this] { close(schedule_); }),
              mainUi()))
        return;
    schedule_.form->setHost(*schedule_.host);
    schedule_.form->Form_Load();
    schedule_.host->show();
}

// Owned by the main window: it stays in front of it and goes with it.
void Program::openRestore(const RestoreFields& fields) {
    close(restore_);
    if (!open(restore_, RestoreWindowLayout(),
              std::make_unique<frmRestore>(os_, windows_, work_, fields, [this] { close(restore_); }), mainUi(),
              main_.host.get()))
        return;
    restore_.form->setHost(*restore_.host);
    restore_.form->Form_Load();
    restore_.host->centre();
    restore_.host->show();
}

void Program::userTaken(const std::string& user) {
    close(users_);
    if (!main_.form) return;
    main_.host->show();
    main_.form->Reset2(user);
}

void Program::closeSecondaryWindows() {
    close(report_);
    close(restore_);
    close(schedule_);
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
