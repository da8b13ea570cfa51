#include "user_objects.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <vector>

namespace onecopy {

namespace {

constexpr DWORD kMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE | READ_CONTROL;

std::vector<BYTE> TokenInformation(TOKEN_INFORMATION_CLASS what) {
    handles::unique_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return {};
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), what, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), what, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}

DWORD LastSubAuthority(PSID sid) {
    return *::GetSidSubAuthority(sid, static_cast<DWORD>(*::GetSidSubAuthorityCount(sid) - 1));
}

// The integrity level an object is labelled with; one without a label counts
// as medium, as the system takes it.
DWORD LabelRid(PACL sacl) {
    if (sacl == nullptr) {
        return SECURITY_MANDATORY_MEDIUM_RID;
    }
    for (DWORD index = 0; index < sacl->AceCount; ++index) {
        void* ace = nullptr;
        if (::GetAce(sacl, index, &ace) &&
            static_cast<ACE_HEADER*>(ace)->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
            return LastSubAuthority(&static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->SidStart);
        }
    }
    return SECURITY_MANDATORY_MEDIUM_RID;
}

}  // namespace

UserObjects::UserObjects() {
    const std::vector<BYTE> user = TokenInformation(TokenUser);
    if (user.empty()) {
        return;
    }
    wchar_t* sid = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        return;
    }
    m_sid = sid;
    ::LocalFree(sid);
    if (!::ConvertStringSidToSidW(m_sid.c_str(), m_user.put())) {
        return;
    }

    // Labelled medium: programs below it can neither open nor wait on our
    // objects. A process that runs lower itself can only label its own that
    // low, and then counts apart from the others.
    const std::vector<BYTE> label = TokenInformation(TokenIntegrityLevel);
    if (!label.empty()) {
        const DWORD own = LastSubAuthority(reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid);
        m_labelRid = std::min<DWORD>(own, SECURITY_MANDATORY_MEDIUM_RID);
    }

    const std::wstring sddl = L"O:" + m_sid + L"D:P(A;;GA;;;" + m_sid + L")S:(ML;;NWNRNX;;;S-1-16-" +
                              std::to_wstring(m_labelRid) + L")";
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, m_descriptor.put(),
                                                                 nullptr)) {
        return;
    }
    m_attributes = {sizeof m_attributes, m_descriptor.get(), FALSE};
}

handles::unique_handle UserObjects::OwnMutex(const std::wstring& name) const {
    if (!Ready()) {
        return {};
    }
    SECURITY_ATTRIBUTES attributes = m_attributes;
    handles::unique_handle mutex(::CreateMutexExW(&attributes, name.c_str(), 0, kMutexAccess));
    const DWORD created = ::GetLastError();
    if (!mutex) {
        return {};  // access denied, another kind of object, or no room
    }
    if (created == ERROR_ALREADY_EXISTS && !IsOurs(mutex.get())) {
        return {};
    }
    return mutex;
}

bool UserObjects::IsOurs(HANDLE object) const {
    PSID owner = nullptr;
    PACL sacl = nullptr;
    handles::unique_hlocal descriptor;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, &owner,
                          nullptr, nullptr, &sacl, descriptor.put()) != ERROR_SUCCESS) {
        return false;
    }
    return owner != nullptr && ::EqualSid(owner, m_user.get()) && LabelRid(sacl) >= m_labelRid;
}

std::wstring LockName(const std::wstring& sid, int generation) {
    return L"Local\\Veilkeeper." + sid + L".Lock." + std::to_wstring(generation);
}

std::wstring PlaceName(const std::wstring& sid, int index) {
    return L"Local\\Veilkeeper." + sid + L".Place." + std::to_wstring(index);
}

}  // namespace onecopy
