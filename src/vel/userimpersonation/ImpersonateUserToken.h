#pragma once
// A user's token that the service can wear on the calling thread: given by the token's owner as a
// handle value in its own process, duplicated into this one.
#include <cstdint>

#include "platform/win/WinImpersonation.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class ImpersonateUserTokenImpl : public ReferenceImpl {
public:
    ~ImpersonateUserTokenImpl() override;

    void setUserToken(winfile::HANDLE handle, std::uint32_t processId);
    void impersonate();
    void revert();
    bool isImpersonating() const { return m_impersonating; }
    bool hasToken() const { return m_token != nullptr; }

private:
    void closeToken();

    winfile::HANDLE m_sourceHandle = nullptr;
    winfile::HANDLE m_token = nullptr;
    bool m_impersonating = false;
    bool m_tokenReplaced = false;
};

class ImpersonateUserToken : public Reference {
public:
    ImpersonateUserToken();

    // Nothing when the handle is the one already held.
    void setUserToken(winfile::HANDLE handle, std::uint32_t processId) {
        impl()->setUserToken(handle, processId);
    }
    void impersonate() { impl()->impersonate(); }
    void revert() { impl()->revert(); }
    bool isImpersonating() const { return impl()->isImpersonating(); }
    bool hasToken() const { return impl()->hasToken(); }

private:
    ImpersonateUserTokenImpl* impl() const {
        return static_cast<ImpersonateUserTokenImpl*>(static_cast<ReferenceImpl*>(m));
    }
};
