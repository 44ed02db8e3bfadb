#include "vel/os/WinHandle_win.h"

#include "runtime/lum/Assert.h"

WinHandleImpl_win::~WinHandleImpl_win() {
    if (m_exists == EXISTS) winfile::CloseHandle(m_handle);
}

WinHandle_win::WinHandle_win() : m(new WinHandleImpl_win) {}

WinHandle_win::WinHandle_win(const WinHandle_win& other) : m(other.m) {
    m->addRef();
}

WinHandle_win& WinHandle_win::operator=(const WinHandle_win& other) {
    other.m->addRef();
    m->release();
    m = other.m;
    return *this;
}

WinHandle_win::~WinHandle_win() {
    m->release();
}

void WinHandle_win::set(winfile::HANDLE handle) {
    if (!LUM_ASSERT_TEXT(m->m_exists == WinHandleImpl_win::NONEXISTANT, "m_exists == NONEXISTANT")) return;
    m->m_handle = handle;
    m->m_exists = WinHandleImpl_win::EXISTS;
}

void WinHandle_win::reset() {
    m->m_exists = WinHandleImpl_win::NONEXISTANT;
    m->m_handle = winfile::INVALID_HANDLE_VALUE;
}
