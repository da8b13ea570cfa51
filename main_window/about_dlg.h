// The About box: the program's name, version and licence. OK and Esc close it.
#pragma once

#include "framework.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() noexcept;
};
