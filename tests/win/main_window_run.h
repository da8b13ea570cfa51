// A main window run for a test: made on the window services, settings store
// and record the test hands it, and driven by a script once it is up.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "fake_settings_store.h"
#include "fake_window_record.h"
#include "fake_window_services.h"
#include "hider_dlg.h"
#include "modal_driver.h"

namespace test {

// Runs `dialog` until `script` returns; the dialog's result. The script starts
// only once the window is up: a window that never comes up fails the test.
INT_PTR RunMainWindow(CHiderDlg& dialog, const std::function<void(ModalDriver&)>& script);

// The same for a fresh main window on these objects; the script may also be
// handed the dialog.
INT_PTR WithMainWindow(platform::WindowServices& services, settings::SettingsStore& store,
                       hider::WindowRecord& record, const std::function<void(ModalDriver&)>& script);
INT_PTR WithMainWindow(platform::WindowServices& services, settings::SettingsStore& store,
                       hider::WindowRecord& record, const std::function<void(ModalDriver&, CHiderDlg&)>& script);

// Most tests run the main window on fakes alone: nothing of the user's
// (registry, hotkeys, keyboard) is touched. Tests of the settings themselves
// put the real store in the fake's place (Store).
class MainWindowOnFakes : public ::testing::Test {
protected:
    INT_PTR WithMainWindow(const std::function<void(ModalDriver&)>& script) {
        return test::WithMainWindow(services, Store(), record, script);
    }
    INT_PTR WithMainWindow(const std::function<void(ModalDriver&, CHiderDlg&)>& script) {
        return test::WithMainWindow(services, Store(), record, script);
    }
    virtual settings::SettingsStore& Store() { return store; }

    FakeWindowServices services;
    FakeSettingsStore store;
    FakeWindowRecord record;
};

}  // namespace test
