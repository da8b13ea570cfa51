// Messages that only ever come sent, never posted. Another program can post
// any message to our windows; one that carries a pointer is read as ours by
// whoever handles it. The system refuses to post most of those; a
// notification (WM_NOTIFY) is posted as given, pointer and all (seen under
// Wine: Veilkeeper ended on one).
#pragma once

#include "unique_handle.h"

namespace fw {

// While it lives, a posted WM_NOTIFY is taken out of this thread's messages
// wherever they are read (our dialogs' loops, a menu's, a message box's): the
// window gets WM_NULL instead. Notifications our controls send are untouched.
class PostedMessageFilter {
public:
    PostedMessageFilter();

private:
    handles::unique_hhook m_hook;
};

}  // namespace fw
