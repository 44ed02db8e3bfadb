#pragma once
// The three steps of every engine singleton: made once by the composition, bound to by handles,
// and forgotten by its own destructor.
#include <atomic>
#include <utility>

#include "runtime/lum/Assert.h"
#include "runtime/multithread/RuntimeMutex.h"

// A new object made of the arguments, or null when one exists already ("Singleton == null").
template <class Impl, class... Args>
Impl* createSingleton(std::atomic<Impl*>& singleton, Args&&... args) {
    if (!LUM_ASSERT_TEXT(singleton.load() == nullptr, "Singleton == null")) return nullptr;
    auto* p = new Impl(std::forward<Args>(args)...);
    singleton = p;
    return p;
}

// The singleton with a reference for the caller, or null when there is none or it is being
// destroyed ("Singleton != null").
template <class Impl>
Impl* bindSingleton(std::atomic<Impl*>& singleton) {
    RuntimeMutexLock lock(referenceMutex());
    Impl* p = singleton;
    if (!LUM_ASSERT_TEXT(p != nullptr && p->addRefUnlessDying(), "Singleton != null")) return nullptr;
    return p;
}

// From the singleton's destructor ("this == Singleton").
template <class Impl>
void forgetSingleton(std::atomic<Impl*>& singleton, Impl* self) {
    LUM_ASSERT_TEXT(self == singleton.load(), "this == Singleton");
    singleton = nullptr;
}
