#include "vel/os/WinHandle_win.h"

#include "runtime/lum/Assert.h"

WinHandleImpl_win::~WinHandleImpl_win() {
    if (m_exists == EXISTS) winfile::CloseHandle(m_handle);
}

WinHandle_win::WinHandle_win() : Reference(new WinHandleImpl_win, Reference::TAKE_OVER) {}

void WinHandle_win::set(winfile::HANDLE handle) {
    if (!LUM_ASSERT_TEXT(impl()->m_exists == WinHandleImpl_win::NONEXISTANT, "m_exists == NONEXISTANT"))
        return;
    impl()->m_handle = handle;
    impl()->m_exists = WinHandleImpl_win::EXISTS;
}

void WinHandle_win::reset() {
    impl()->m_exists = WinHandleImpl_win::NONEXISTANT;
    impl()->m_handle = winfile::INVALID_HANDLE_VALUE;
}
