#include "main_window_run.h"

#include <gtest/gtest.h>

namespace test {

INT_PTR RunMainWindow(CHiderDlg& dialog, const std::function<void(ModalDriver&)>& script) {
    return RunModal(dialog, [&](ModalDriver& d) {
        ASSERT_NE(d.Window(), nullptr);
        script(d);
    });
}

INT_PTR WithMainWindow(platform::WindowServices& services, settings::SettingsStore& store,
                       hider::WindowRecord& record, const std::function<void(ModalDriver&)>& script) {
    CHiderDlg dialog(services, store, record);
    return RunMainWindow(dialog, script);
}

INT_PTR WithMainWindow(platform::WindowServices& services, settings::SettingsStore& store,
                       hider::WindowRecord& record, const std::function<void(ModalDriver&, CHiderDlg&)>& script) {
    CHiderDlg dialog(services, store, record);
    return RunMainWindow(dialog, [&](ModalDriver& d) { script(d, dialog); });
}

}  // namespace test
