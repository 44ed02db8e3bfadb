#pragma once

#include <atomic>
#include <new>
#include <utility>

#include "platform/com/Com.h"

// Reference counting, interface maps and class factories for objects that implement COM
// interfaces. A class lists its interfaces and leaves IUnknown to the wrappers here:
//
//   class Thing : public com::ComObjectRoot, public IFirst, public ISecond {
//   public:
//       using Interfaces = com::InterfaceList<IFirst, ISecond>;
//       ...
//   };
//   com::ComObject<Thing>::CreateInstance(&thing);        // a plain object
//   com::ClassFactory<Thing> serves plain and aggregated objects of the class.
namespace com {

// The count of live objects and server locks of this module, which decides whether it may be
// unloaded. Each shared library that links this layer has its own count.
long ModuleLock();
long ModuleUnlock();
long ModuleLockCount();

template <class... Interfaces>
struct InterfaceList {};

// Base of every implementation class; holds nothing yet but gives the hooks a class may override.
class ComObjectRoot {
public:
    HRESULT FinalConstruct() { return S_OK; }
    void FinalRelease() {}
};

namespace detail {

template <class T, class First, class... Rest>
HRESULT queryInterfaceMap(T* self, REFIID riid, void** object, InterfaceList<First, Rest...>) {
    if (!object) return E_POINTER;
    *object = nullptr;
    IUnknown* found = nullptr;
    if (riid == IID_IUnknown) {
        found = static_cast<First*>(self);
        *object = found;
    } else {
        auto offer = [&]<class I>(I* candidate) {
            if (!found && riid == InterfaceTraits<I>::id()) {
                found = candidate;
                *object = candidate;
            }
        };
        offer(static_cast<First*>(self));
        (offer(static_cast<Rest*>(self)), ...);
    }
    if (!found) return E_NOINTERFACE;
    found->AddRef();
    return S_OK;
}

}  // namespace detail

// A stand-alone object: owns its reference count and keeps the module loaded while it lives.
template <class T>
class ComObject final : public T {
public:
    template <class... Args>
    explicit ComObject(Args&&... args) : T(std::forward<Args>(args)...) {
        ModuleLock();
    }
    ~ComObject() {
        T::FinalRelease();
        ModuleUnlock();
    }

    // A new object with no reference yet; delete it if nothing takes one.
    template <class... Args>
    static HRESULT CreateInstance(ComObject** object, Args&&... args) {
        if (!object) return E_POINTER;
        *object = new (std::nothrow) ComObject(std::forward<Args>(args)...);
        if (!*object) return E_OUTOFMEMORY;
        HRESULT hr = (*object)->FinalConstruct();
        if (FAILED(hr)) {
            delete *object;
            *object = nullptr;
        }
        return hr;
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        return detail::queryInterfaceMap(static_cast<T*>(this), riid, object, typename T::Interfaces{});
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs_{0};
};

// The part of an aggregated object that the outer object reaches through its own IUnknown.
template <class T>
class ComContainedObject final : public T {
public:
    explicit ComContainedObject(IUnknown* outer) : outer_(outer) {}
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return outer_->QueryInterface(riid, object);
    }
    ULONG AddRef() override { return outer_->AddRef(); }
    ULONG Release() override { return outer_->Release(); }

    HRESULT innerQueryInterface(REFIID riid, void** object) {
        return detail::queryInterfaceMap(static_cast<T*>(this), riid, object, typename T::Interfaces{});
    }

private:
    IUnknown* outer_;
};

// An aggregated object: this IUnknown is the inner, non-delegating one handed to the outer object;
// every other interface delegates its IUnknown to the outer object.
template <class T>
class ComAggObject final : public IUnknown {
public:
    explicit ComAggObject(IUnknown* outer) : contained_(outer) { ModuleLock(); }
    ~ComAggObject() {
        contained_.FinalRelease();
        ModuleUnlock();
    }

    static HRESULT CreateInstance(IUnknown* outer, ComAggObject** object) {
        if (!object) return E_POINTER;
        *object = new (std::nothrow) ComAggObject(outer);
        if (!*object) return E_OUTOFMEMORY;
        HRESULT hr = (*object)->contained_.FinalConstruct();
        if (FAILED(hr)) {
            delete *object;
            *object = nullptr;
        }
        return hr;
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return contained_.innerQueryInterface(riid, object);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs_{0};
    ComContainedObject<T> contained_;
};

// Creates objects of T, aggregated when an outer object asks for IUnknown. The factory itself
// does not keep the module loaded; LockServer does.
template <class T>
class ClassFactoryImpl : public ComObjectRoot, public IClassFactory {
public:
    using Interfaces = InterfaceList<IClassFactory>;

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) {
            if (!(riid == IID_IUnknown)) return CLASS_E_NOAGGREGATION;
            ComAggObject<T>* aggregated = nullptr;
            HRESULT hr = ComAggObject<T>::CreateInstance(outer, &aggregated);
            if (FAILED(hr)) return hr;
            return finish(aggregated, riid, object);
        }
        ComObject<T>* plain = nullptr;
        HRESULT hr = ComObject<T>::CreateInstance(&plain);
        if (FAILED(hr)) return hr;
        return finish(plain, riid, object);
    }
    HRESULT LockServer(bool lock) override {
        lock ? ModuleLock() : ModuleUnlock();
        return S_OK;
    }

private:
    template <class O>
    static HRESULT finish(O* created, REFIID riid, void** object) {
        created->AddRef();
        HRESULT hr = created->QueryInterface(riid, object);
        created->Release();  // deletes the object when the interface was refused
        return hr;
    }
};

// A class object that is not counted as a live object of the module.
template <class T>
class ClassObject final : public ClassFactoryImpl<T> {
public:
    static HRESULT Create(REFIID riid, void** object) {
        auto* factory = new (std::nothrow) ClassObject();
        if (!factory) return E_OUTOFMEMORY;
        factory->AddRef();
        HRESULT hr = factory->QueryInterface(riid, object);
        factory->Release();
        return hr;
    }
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return detail::queryInterfaceMap(static_cast<ClassFactoryImpl<T>*>(this), riid, object,
                                         typename ClassFactoryImpl<T>::Interfaces{});
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs_{0};
};

}  // namespace com

namespace com {

// A new object of class T, handed out through its interface I with one reference.
template <class T, class I, class... Args>
HRESULT CreateComObject(I** object, Args&&... args) {
    if (!object) return E_POINTER;
    *object = nullptr;
    ComObject<T>* created = nullptr;
    HRESULT hr = ComObject<T>::CreateInstance(&created, std::forward<Args>(args)...);
    if (FAILED(hr)) return hr;
    created->AddRef();
    hr = created->QueryInterface(InterfaceTraits<I>::id(), reinterpret_cast<void**>(object));
    created->Release();
    return hr;
}

}  // namespace com
