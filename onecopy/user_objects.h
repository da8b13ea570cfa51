// Named objects that belong to the user running this process.
//
// The instance count lives in the session's namespace, which every program
// of the session shares, whoever runs it. So its names carry the user's SID,
// its objects are made with the user as owner, a DACL for that user alone and
// a medium integrity label that lower integrity may not read, write or wait
// on; and an object found under one of these names is used only when it is
// one of ours: owned by the user and labelled no lower than we label ours.
// Anything else under the name (made first by another account or at lower
// integrity, with whatever DACL) is somebody else's and never counts.
//
// Not a private namespace bound to the SID, which would keep other users out
// of the names altogether: Wine has none (CreateBoundaryDescriptorW returns
// null there), and one path, tested where the tests run, beats two.
#pragma once

#include <windows.h>

#include <string>

#include "unique_handle.h"

namespace onecopy {

class UserObjects {
public:
    UserObjects();
    UserObjects(const UserObjects&) = delete;
    UserObjects& operator=(const UserObjects&) = delete;

    // Whether the user and the security descriptor could be made out.
    bool Ready() const { return static_cast<bool>(m_descriptor); }
    const std::wstring& Sid() const { return m_sid; }

    // The mutex under `name`: made now as ours, or an existing one of ours.
    // None when the name holds anything else, or cannot be opened.
    handles::unique_handle OwnMutex(const std::wstring& name) const;

    // The descriptor every object of ours is made with.
    SECURITY_ATTRIBUTES* Attributes() { return Ready() ? &m_attributes : nullptr; }

private:
    bool IsOurs(HANDLE object) const;

    std::wstring m_sid;
    handles::unique_hlocal m_user;  // the SID
    DWORD m_labelRid = SECURITY_MANDATORY_MEDIUM_RID;
    handles::unique_hlocal m_descriptor;
    SECURITY_ATTRIBUTES m_attributes{};
};

// The names of the count's objects for the user with this SID. The lock has a
// few names: the first that is ours serves (see instance_count.cpp).
inline constexpr int kLockNames = 16;
inline constexpr int kPlaces = 64;
std::wstring LockName(const std::wstring& sid, int generation);
std::wstring PlaceName(const std::wstring& sid, int index);

}  // namespace onecopy
