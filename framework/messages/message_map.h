// Static message maps: each class lists the messages, commands and control
// notifications it handles, and the member that handles each. A lookup walks
// from the most derived class's map to its bases, so a derived class can take
// over any entry of its base.
//
// Each entry holds a small thunk made for the handler's exact signature: the
// handler's class and parameters are checked by the compiler, and no member
// pointer is ever cast to another type.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "geometry.h"

class CCmdTarget;
class CWnd;

using MessageThunk = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;  // WM_*
    UINT code;     // notification code for WM_COMMAND and WM_NOTIFY, else 0
    UINT id;       // control or command identifier for WM_COMMAND and WM_NOTIFY, else 0
    MessageThunk thunk;
    // A registered message has its number only at run time: this gives it,
    // and `message` is then unused.
    UINT (*registered)() = nullptr;

    bool Matches(UINT msg, UINT msgCode, UINT msgId) const {
        const UINT number = registered != nullptr ? registered() : message;
        return number != 0 && number == msg && code == msgCode && id == msgId;
    }
};

struct MessageMap {
    const MessageMap* (*base)();  // none for the root
    const MessageMapEntry* entries;  // ends with an entry whose thunk is null
};

namespace fw::thunk {

template <typename M>
struct member_class;
template <typename C, typename R, typename... Args>
struct member_class<R (C::*)(Args...)> {
    using type = C;
};
template <auto Fn>
using class_of = typename member_class<decltype(Fn)>::type;

template <auto Fn>
class_of<Fn>& target(CCmdTarget& t) {
    return static_cast<class_of<Fn>&>(t);
}

// void OnX()
template <auto Fn>
LRESULT Void(CCmdTarget& t, WPARAM, LPARAM) {
    (target<Fn>(t).*Fn)();
    return 0;
}

// void OnSysCommand(UINT nID, LPARAM lParam)
template <auto Fn>
LRESULT SysCommand(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    (target<Fn>(t).*Fn)(static_cast<UINT>(wParam), lParam);
    return 0;
}

// HCURSOR OnQueryDragIcon()
template <auto Fn>
LRESULT Handle(CCmdTarget& t, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((target<Fn>(t).*Fn)());
}

// void OnXButtonY(UINT nFlags, CPoint point), point in client coordinates
template <auto Fn>
LRESULT Mouse(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    (target<Fn>(t).*Fn)(static_cast<UINT>(wParam), point);
    return 0;
}

// void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2)
template <auto Fn>
LRESULT HotKey(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    (target<Fn>(t).*Fn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}

// void OnNotifyX(NMHDR* pNMHDR, LRESULT* pResult)
template <auto Fn>
LRESULT Notify(CCmdTarget& t, WPARAM, LPARAM lParam) {
    LRESULT result = 0;
    (target<Fn>(t).*Fn)(reinterpret_cast<NMHDR*>(lParam), &result);
    return result;
}

// void OnRawInput(UINT nInputCode, HRAWINPUT hRawInput)
template <auto Fn>
LRESULT RawInput(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    (target<Fn>(t).*Fn)(GET_RAWINPUT_CODE_WPARAM(wParam), reinterpret_cast<HRAWINPUT>(lParam));
    return 0;
}

// void OnTimer(UINT_PTR nIDEvent)
template <auto Fn>
LRESULT Timer(CCmdTarget& t, WPARAM wParam, LPARAM) {
    (target<Fn>(t).*Fn)(static_cast<UINT_PTR>(wParam));
    return 0;
}

// void OnEndSession(BOOL bEnding)
template <auto Fn>
LRESULT EndSession(CCmdTarget& t, WPARAM wParam, LPARAM) {
    (target<Fn>(t).*Fn)(wParam != 0 ? TRUE : FALSE);
    return 0;
}

// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
template <auto Fn>
LRESULT SetCursor(CCmdTarget& t, WPARAM wParam, LPARAM lParam);

// BOOL OnHelpInfo(HELPINFO* pHelpInfo)
template <auto Fn>
LRESULT HelpInfo(CCmdTarget& t, WPARAM, LPARAM lParam) {
    return (target<Fn>(t).*Fn)(reinterpret_cast<HELPINFO*>(lParam));
}

// LRESULT OnX(WPARAM wParam, LPARAM lParam): a message of no fixed form
template <auto Fn>
LRESULT Raw(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    return (target<Fn>(t).*Fn)(wParam, lParam);
}

// void OnContextMenu(CWnd* pWnd, CPoint pos), pos in screen coordinates, or
// (-1, -1) when the keyboard asked for the menu
template <auto Fn>
LRESULT ContextMenu(CCmdTarget& t, WPARAM wParam, LPARAM lParam);

}  // namespace fw::thunk

#define DECLARE_MESSAGE_MAP()                              \
protected:                                                 \
    static const ::MessageMap* GetThisMessageMap();        \
    const ::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const ::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::MessageMap* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        using TheBaseClass = baseClass;                                                 \
        static const ::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                  \
            {0, 0, 0, nullptr}};                                           \
        static const ::MessageMap map{&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                       \
    }

// Windows messages, each to the handler of the conventional name.
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, &::fw::thunk::SysCommand<&ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &::fw::thunk::Void<&ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, &::fw::thunk::Handle<&ThisClass::OnQueryDragIcon>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &::fw::thunk::Mouse<&ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, &::fw::thunk::Mouse<&ThisClass::OnLButtonUp>},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, 0, 0, &::fw::thunk::Mouse<&ThisClass::OnRButtonDown>},
#define ON_WM_SETCURSOR() {WM_SETCURSOR, 0, 0, &::fw::thunk::SetCursor<&ThisClass::OnSetCursor>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &::fw::thunk::Void<&ThisClass::OnDestroy>},
#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, &::fw::thunk::Void<&ThisClass::OnNcDestroy>},
#define ON_WM_CAPTURECHANGED() {WM_CAPTURECHANGED, 0, 0, &::fw::thunk::Void<&ThisClass::OnCaptureChanged>},
#define ON_WM_CANCELMODE() {WM_CANCELMODE, 0, 0, &::fw::thunk::Void<&ThisClass::OnCancelMode>},
#define ON_WM_HOTKEY() {WM_HOTKEY, 0, 0, &::fw::thunk::HotKey<&ThisClass::OnHotKey>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &::fw::thunk::Timer<&ThisClass::OnTimer>},
#define ON_WM_CONTEXTMENU() {WM_CONTEXTMENU, 0, 0, &::fw::thunk::ContextMenu<&ThisClass::OnContextMenu>},
#define ON_WM_INPUT() {WM_INPUT, 0, 0, &::fw::thunk::RawInput<&ThisClass::OnRawInput>},
#define ON_WM_ENDSESSION() {WM_ENDSESSION, 0, 0, &::fw::thunk::EndSession<&ThisClass::OnEndSession>},
#define ON_WM_HELPINFO() {WM_HELP, 0, 0, &::fw::thunk::HelpInfo<&ThisClass::OnHelpInfo>},
// A message from RegisterWindowMessage: `numberFxn` returns its number.
#define ON_REGISTERED_MESSAGE(numberFxn, memberFxn) {0, 0, 0, &::fw::thunk::Raw<memberFxn>, (numberFxn)},

// Commands (menus, and WM_COMMAND sent by code) and control notifications.
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), &::fw::thunk::Void<memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, (id), &::fw::thunk::Void<memberFxn>},
#define ON_NOTIFY(code, id, memberFxn) \
    {WM_NOTIFY, static_cast<UINT>(code), (id), &::fw::thunk::Notify<memberFxn>},
