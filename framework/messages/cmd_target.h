// The root of everything that has a message map: windows and the application.
#pragma once

#include "message_map.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // The entry of this object's maps, most derived first, that handles the
    // message; none when no map lists it.
    const MessageMapEntry* FindMessageEntry(UINT message, UINT code, UINT id) const;

    // Runs the command's handler when a map lists it.
    bool OnCmdMsg(UINT id, UINT code);

protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;
};
