#pragma once
// Process-wide seams through which a higher layer hands the engine its real collaborators: an
// installed object (the matchmaker, say), or a maker of behaviour objects for each new owner.
// Tests install recording fakes the same way.
#include <atomic>
#include <functional>
#include <memory>
#include <utility>

#include "runtime/multithread/RuntimeMutex.h"
#include "vel/reference/Reference.h"

// One installed object of an ElementInterface-derived interface, held by a reference.
template <class Interface>
class InstalledObject {
public:
    // Installs the object (null removes the one installed).
    static void install(Interface* object) {
        Reference replacement(object, Reference::NULLABLE);
        {
            RuntimeMutexLock lock(referenceMutex());
            std::swap(held(), replacement);
        }
        // The old object goes outside the lock.
    }
    // The installed object with a reference for the caller; null when none is installed.
    static Reference get() {
        RuntimeMutexLock lock(referenceMutex());
        return held();
    }
    static Interface* of(const Reference& reference) { return static_cast<Interface*>(reference.m); }

private:
    static Reference& held() {
        static Reference object;
        return object;
    }
};

// One installed object that its owner keeps alive while installed and removes before it goes:
// a plain pointer, for interfaces without references.
template <class Interface>
class InstalledPointer {
public:
    // Null removes it.
    static void install(Interface* object) { held().store(object); }
    static Interface* installed() { return held().load(); }

private:
    static std::atomic<Interface*>& held() {
        static std::atomic<Interface*> object{nullptr};
        return object;
    }
};

// The maker of behaviour objects that each new owner takes at its creation; Idle when none is
// installed or the maker makes none.
template <class Interface, class Owner, class Idle>
class InstalledMaker {
public:
    using Maker = std::function<std::unique_ptr<Interface>(Owner& owner)>;

    // Returns the maker it replaces; an empty maker brings back the idle behaviour.
    static Maker set(Maker maker) {
        RuntimeMutexLock lock(referenceMutex());
        return std::exchange(held(), std::move(maker));
    }
    static std::unique_ptr<Interface> make(Owner& owner) {
        Maker maker;
        {
            RuntimeMutexLock lock(referenceMutex());
            maker = held();
        }
        std::unique_ptr<Interface> behavior;
        if (maker) behavior = maker(owner);
        if (!behavior) behavior = std::make_unique<Idle>();
        return behavior;
    }

private:
    static Maker& held() {
        static Maker maker;
        return maker;
    }
};
