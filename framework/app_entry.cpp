// The process entry point. Kept out of the framework library so that test
// programs can link the framework with an entry point of their own.
#include "win_app.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    try {
        return fw::RunApplication(hInstance);
    } catch (...) {
        return -1;
    }
}
