// What Veilkeeper reads about windows without asking their programs.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

HWND WindowAtPoint(POINT point);
HWND TopLevelOf(HWND window);
std::wstring TitleOf(HWND window);
bool IsOfThisProcess(HWND window);

}  // namespace platform
