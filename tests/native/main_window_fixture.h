// The main window on the fake operating system, with a host that records.
#pragma once

#include "app/main_window.h"
#include "fake/fake_os.h"

#include <gtest/gtest.h>

#include <memory>

namespace test_support {

class RecordingHost : public app::WindowHost {
public:
    explicit RecordingHost(fake::FakeOs& os) : os_(os) {}
    void centre() override { os_.events.push_back("centre"); }
    void show() override { os_.events.push_back("show"); }

private:
    fake::FakeOs& os_;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        // WinZip and its add-on present unless a test takes them away.
        os.addFile("C:\\Program Files\\WinZip\\winzip32.exe");
        os.addFile("C:\\Program Files\\WinZip\\wzzip.exe");
    }

    app::frmQuenfoldBackup& load() {
        form = std::make_unique<app::frmQuenfoldBackup>(os, session, host);
        form->Form_Load();
        return *form;
    }

    int count(const std::string& event) const {
        return static_cast<int>(std::count(os.events.begin(), os.events.end(), event));
    }

    fake::FakeOs os;
    app::Session session;
    RecordingHost host{os};
    std::unique_ptr<app::frmQuenfoldBackup> form;
};

}  // namespace test_support
