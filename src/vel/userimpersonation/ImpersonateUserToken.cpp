#include "vel/userimpersonation/ImpersonateUserToken.h"

#include "runtime/lum/Log.h"
#include "vel/exception/LogWindowsException.h"

ImpersonateUserTokenImpl::~ImpersonateUserTokenImpl() {
    revert();
    closeToken();
}

void ImpersonateUserTokenImpl::closeToken() {
    if (m_token) winfile::CloseHandle(m_token);
    m_token = nullptr;
}

void ImpersonateUserTokenImpl::setUserToken(winfile::HANDLE handle, std::uint32_t processId) {
    if (handle == m_sourceHandle) return;
    if (m_token) {
        closeToken();
        m_tokenReplaced = true;
    }
    m_sourceHandle = nullptr;
    winfile::HANDLE process = winfile::OpenProcess(winfile::MAXIMUM_ALLOWED, false, processId);
    if (!process) {
        LogWindowsException::log(__FILE__, __LINE__, "OpenProcess",
                                 static_cast<int>(winfile::GetLastError()));
        return;
    }
    if (winfile::DuplicateHandle(process, handle, winfile::GetCurrentProcess(), &m_token, 0, false,
                                 winfile::DUPLICATE_SAME_ACCESS)) {
        m_sourceHandle = handle;
    } else {
        m_token = nullptr;
        LogWindowsException::log(__FILE__, __LINE__, "DuplicateHandle",
                                 static_cast<int>(winfile::GetLastError()));
    }
    winfile::CloseHandle(process);
}

void ImpersonateUserTokenImpl::impersonate() {
    // A token replaced while worn is put down first, so the new one is worn from here on.
    if (m_tokenReplaced && m_impersonating) {
        revert();
        m_tokenReplaced = false;
    }
    if (!m_token || m_impersonating) return;
    logInfo(0, "Impersonating user");
    if (winfile::ImpersonateLoggedOnUser(m_token)) {
        m_impersonating = true;
    } else {
        LogWindowsException::log(__FILE__, __LINE__, "ImpersonateLoggedOnUser",
                                 static_cast<int>(winfile::GetLastError()));
    }
}

void ImpersonateUserTokenImpl::revert() {
    if (!m_impersonating) return;
    logInfo(0, "Deimpersonating user");
    if (winfile::RevertToSelf()) {
        m_impersonating = false;
    } else {
        LogWindowsException::log(__FILE__, __LINE__, "RevertToSelf",
                                 static_cast<int>(winfile::GetLastError()));
    }
}

ImpersonateUserToken::ImpersonateUserToken()
    : Reference(new ImpersonateUserTokenImpl, Reference::TAKE_OVER) {}
