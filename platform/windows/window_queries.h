// What Veilkeeper reads about windows without asking their programs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "window_services.h"

namespace platform {

HWND WindowAtPoint(POINT point);
HWND TopLevelOf(HWND window);
std::wstring TitleOf(HWND window);
bool IsExemptWindow(HWND window, const WindowFacts& facts);
bool IsWindowOfThread(HWND window, DWORD processId, DWORD threadId);
std::optional<WindowFacts> FactsOf(HWND window);
std::vector<OwnedWindow> OwnedWindowsOf(HWND owner);

}  // namespace platform
