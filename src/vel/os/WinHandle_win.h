#pragma once
// A platform handle that is closed when its last holder lets go, unless it was closed before.
#include "platform/win/WinFile.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"

class WinHandleImpl_win : public ReferenceImpl {
public:
    enum State { NONEXISTANT, EXISTS };

    WinHandleImpl_win() = default;
    ~WinHandleImpl_win() override;

    State m_exists = NONEXISTANT;
    winfile::HANDLE m_handle = winfile::INVALID_HANDLE_VALUE;
};

class WinHandle_win : public Reference {
public:
    WinHandle_win();

    bool exists() const { return impl()->m_exists == WinHandleImpl_win::EXISTS; }
    winfile::HANDLE handle() const { return impl()->m_handle; }
    // Takes a handle just opened; the wrapper must be empty.
    void set(winfile::HANDLE handle);
    // Forgets the handle without closing it (after an explicit close).
    void reset();

private:
    WinHandleImpl_win* impl() const {
        return static_cast<WinHandleImpl_win*>(static_cast<ReferenceImpl*>(m));
    }
};
