// Reads a list view of another process: its rows' texts and places. The
// requests carry pointers, so their buffers live in that process's memory.
#pragma once

#include <windows.h>

#include <string>

#include "unique_handle.h"

namespace test {

class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;
    ~RemoteListView();

    int Count() const;
    // The selected row; -1 for none.
    int SelectedRow() const;
    std::wstring Text(int row) const;
    // The row's bounds in screen coordinates.
    RECT RowOnScreen(int row) const;

private:
    HWND m_list;
    handles::unique_handle m_process;
    void* m_remote = nullptr;  // one page in the list's process
};

}  // namespace test
