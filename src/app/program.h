// The program as a whole: its windows, each at most once, and its end.
#pragma once

#include "app/background_counts.h"
#include "app/background_work.h"
#include "app/main_window.h"
#include "app/restore_window.h"
#include "app/schedule_window.h"
#include "app/secondary_windows.h"
#include "app/window_system.h"
#include "backup/backup_run.h"
#include "platform/os.h"
#include "platform/task_scheduler.h"

#include <memory>
#include <vector>

namespace app {

class Program : public ProgramActions {
public:
    // `programPath` is this exe's full path, which a scheduled backup runs.
    Program(platform::Os& os, WindowSystem& windows, BackgroundCounts& counts, backup::BackupRunner& runner,
            platform::TaskScheduler& scheduler, std::string programPath, BackgroundWork& work);

    // Loads the main window, which shows itself at the end of its start-up.
    void start();

    void openHelp() override;
    void openEula() override;
    void openBrowseUsers() override;
    void openReport(std::string text) override;
    void openSchedule(const ScheduleFields& fields) override;
    void openRestore(const RestoreFields& fields) override;
    void reset() override;
    void quit() override;

    // The open windows' forms; nullptr while a window is closed.
    frmQuenfoldBackup* mainWindow() const { return main_.form.get(); }
    frmTextWindow* helpWindow() const { return help_.form.get(); }
    frmTextWindow* eulaWindow() const { return eula_.form.get(); }
    frmBrowseUsers* browseUsersWindow() const { return users_.form.get(); }
    frmTextWindow* reportWindow() const { return report_.form.get(); }
    frmSchedule* scheduleWindow() const { return schedule_.form.get(); }
    frmRestore* restoreWindow() const { return restore_.form.get(); }

private:
    // The window is declared after its form, so that it goes first.
    template <typename Form>
    struct Slot {
        std::unique_ptr<Form> form;
        std::unique_ptr<WindowHost> host;
    };

    // False when the window could not be created; `reportTo` has said why.
    template <typename Form>
    bool open(Slot<Form>& slot, const WindowLayout& layout, std::unique_ptr<Form> form, platform::Ui& reportTo,
              WindowHost* owner = nullptr);
    template <typename Form>
    void close(Slot<Form>& slot);
    template <typename Form>
    void closed(Slot<Form>& slot);
    void closeSecondaryWindows();
    void endIfNoWindowRemains();
    void loadMainWindow();
    // The services of the main window, or of none while it is closed.
    platform::Ui& mainUi();
    void openTextWindow(Slot<frmTextWindow>& slot, const WindowLayout& layout, std::string text);
    void userTaken(const std::string& user);

    platform::Os& os_;
    WindowSystem& windows_;
    BackgroundCounts& counts_;
    backup::BackupRunner& runner_;
    platform::TaskScheduler& scheduler_;
    std::string programPath_;
    BackgroundWork& work_;
    Slot<frmQuenfoldBackup> main_;
    Slot<frmTextWindow> help_;
    Slot<frmTextWindow> eula_;
    Slot<frmBrowseUsers> users_;
    Slot<frmTextWindow> report_;
    Slot<frmSchedule> schedule_;
    Slot<frmRestore> restore_;
    // Windows closed from inside their own handlers, freed once those return.
    std::vector<std::shared_ptr<void>> retired_;
    bool reloading_ = false;
};

}  // namespace app
