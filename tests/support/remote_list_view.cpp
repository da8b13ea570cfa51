#include "remote_list_view.h"

#include <commctrl.h>

#include "windows_of.h"

namespace test {

namespace {
constexpr SIZE_T kPage = 4096;
constexpr size_t kTextOffset = 512;  // where the text buffer starts in the page
constexpr int kTextChars = static_cast<int>((kPage - kTextOffset) / sizeof(wchar_t));
}  // namespace

RemoteListView::RemoteListView(HWND list) : m_list(list) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    m_process.reset(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (m_process) {
        m_remote = ::VirtualAllocEx(m_process.get(), nullptr, kPage, MEM_COMMIT, PAGE_READWRITE);
    }
}

RemoteListView::~RemoteListView() {
    if (m_remote != nullptr) {
        ::VirtualFreeEx(m_process.get(), m_remote, 0, MEM_RELEASE);
    }
}

int RemoteListView::Count() const {
    return static_cast<int>(AnswerOf(m_list, LVM_GETITEMCOUNT).value_or(0));
}

int RemoteListView::SelectedRow() const {
    return static_cast<int>(AnswerOf(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED).value_or(-1));
}

std::wstring RemoteListView::Text(int row) const {
    if (m_remote == nullptr) {
        return {};
    }
    auto* remoteText = static_cast<char*>(m_remote) + kTextOffset;
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = reinterpret_cast<LPWSTR>(remoteText);
    item.cchTextMax = kTextChars;
    ::WriteProcessMemory(m_process.get(), m_remote, &item, sizeof item, nullptr);
    const auto length =
        AnswerOf(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_remote));
    if (!length) {
        return {};
    }
    std::wstring text(static_cast<size_t>(*length), L'\0');
    ::ReadProcessMemory(m_process.get(), remoteText, text.data(), text.size() * sizeof(wchar_t), nullptr);
    return text;
}

RECT RemoteListView::RowOnScreen(int row) const {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (m_remote == nullptr) {
        return {};
    }
    ::WriteProcessMemory(m_process.get(), m_remote, &rect, sizeof rect, nullptr);
    AnswerOf(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_remote));
    ::ReadProcessMemory(m_process.get(), m_remote, &rect, sizeof rect, nullptr);
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace test
