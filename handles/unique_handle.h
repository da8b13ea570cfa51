// One owner per handle: a move-only holder that releases its handle exactly once.
// Below every other folder: it uses nothing of ours, and anything may use it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace handles {

// How a kind of handle is released, and which value means "none".
template <typename H, auto CloseFn>
struct null_handle_traits {
    using handle = H;
    static constexpr H invalid() noexcept { return nullptr; }
    static void close(H h) noexcept { CloseFn(h); }
};

template <typename Traits>
class unique_any {
public:
    using handle = typename Traits::handle;

    unique_any() noexcept = default;
    explicit unique_any(handle h) noexcept : m_h(h) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : m_h(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~unique_any() { reset(); }

    handle get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != Traits::invalid(); }

    handle release() noexcept { return std::exchange(m_h, Traits::invalid()); }

    void reset(handle h = Traits::invalid()) noexcept {
        const handle old = std::exchange(m_h, h);
        if (old != Traits::invalid()) {
            Traits::close(old);
        }
    }

    // For out-parameters: releases what is held and hands out the slot.
    handle* put() noexcept {
        reset();
        return &m_h;
    }

private:
    handle m_h = Traits::invalid();
};

using unique_hmodule = unique_any<null_handle_traits<HMODULE, &::FreeLibrary>>;
using unique_handle = unique_any<null_handle_traits<HANDLE, &::CloseHandle>>;
using unique_hkey = unique_any<null_handle_traits<HKEY, &::RegCloseKey>>;
using unique_hicon = unique_any<null_handle_traits<HICON, &::DestroyIcon>>;
using unique_hmenu = unique_any<null_handle_traits<HMENU, &::DestroyMenu>>;
using unique_himagelist = unique_any<null_handle_traits<HIMAGELIST, &::ImageList_Destroy>>;
using unique_hhook = unique_any<null_handle_traits<HHOOK, &::UnhookWindowsHookEx>>;
using unique_hwineventhook = unique_any<null_handle_traits<HWINEVENTHOOK, &::UnhookWinEvent>>;
// Memory the system hands out with LocalAlloc: SIDs and security descriptors.
using unique_hlocal = unique_any<null_handle_traits<HLOCAL, &::LocalFree>>;

}  // namespace handles
