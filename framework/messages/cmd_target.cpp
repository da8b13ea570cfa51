#include "cmd_target.h"

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const MessageMap map{nullptr, entries};
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->thunk != nullptr; ++entry) {
            if (entry->Matches(message, code, id)) {
                return entry;
            }
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const MessageMapEntry* entry = FindMessageEntry(WM_COMMAND, code, id);
    if (entry == nullptr) {
        return false;
    }
    entry->thunk(*this, MAKEWPARAM(id, code), 0);
    return true;
}
