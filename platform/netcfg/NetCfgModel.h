#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/netcfg/NetCfg.h"
#include "platform/netcfg/NetworkState.h"

namespace netcfg {

// What one network configuration object and every object it hands out share: the configuration
// as read at Initialize with this client's changes not yet applied, and whether this client holds
// the write lock.
struct NetCfgModel {
    NetworkState state;
    NetworkState loaded;
    bool initialized = false;
    bool writeLocked = false;
    // The notify objects loaded at Initialize, by the index of their component; each holds one
    // reference until Uninitialize.
    std::vector<std::pair<std::size_t, INetCfgComponentNotifyBinding*>> notifyObjects;
};
using NetCfgModelPtr = std::shared_ptr<NetCfgModel>;

// Loads the notify object registered for each component, as the system does when a configuration
// is opened: created in process, initialised with its component and the configuration. One that
// cannot be loaded is left out.
void LoadNotifyObjects(const NetCfgModelPtr& model, INetCfg* netCfg);
void ReleaseNotifyObjects(NetCfgModel& model);
// Asks the notify object of the path's owner about the path: S_OK when there is none, else its
// answer (NETCFG_S_DISABLE_QUERY: the path is to be disabled).
HRESULT QueryBindingPath(const NetCfgModelPtr& model, std::size_t binding, DWORD changeFlag);

// Interface objects over the model, each with one reference.
HRESULT CreateComponent(const NetCfgModelPtr& model, std::size_t index, INetCfgComponent** component);
HRESULT CreateComponentByBindName(const NetCfgModelPtr& model, const std::string& bindName,
                                  INetCfgComponent** component);
HRESULT CreateBindingPath(const NetCfgModelPtr& model, std::size_t index, INetCfgBindingPath** path);

// An enumerator over items it holds a reference to.
template <class IEnum, class IItem>
class NetCfgEnumImpl : public com::ComObjectRoot, public IEnum {
public:
    using Interfaces = com::InterfaceList<IEnum>;

    // Takes over one reference of each item.
    explicit NetCfgEnumImpl(std::vector<IItem*> items) : items_(std::move(items)) {}
    ~NetCfgEnumImpl() {
        for (IItem* item : items_) item->Release();
    }

    HRESULT Next(ULONG count, IItem** items, ULONG* fetched) override {
        if (!items || (count != 1 && !fetched)) return com::E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < items_.size(); ++n) {
            items[n] = items_[position_++];
            items[n]->AddRef();
        }
        if (fetched) *fetched = n;
        return n == count ? com::S_OK : com::S_FALSE;
    }
    HRESULT Skip(ULONG count) override {
        std::size_t left = items_.size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? com::S_OK : com::S_FALSE;
    }
    HRESULT Reset() override {
        position_ = 0;
        return com::S_OK;
    }

private:
    std::vector<IItem*> items_;
    std::size_t position_ = 0;
};

// Builds an enumerator from items made one by one; the first failure is returned.
template <class IEnum, class IItem, class Make>
HRESULT CreateEnumerator(std::size_t count, Make make, IEnum** enumerator) {
    if (!enumerator) return com::E_POINTER;
    *enumerator = nullptr;
    std::vector<IItem*> items;
    for (std::size_t i = 0; i < count; ++i) {
        IItem* item = nullptr;
        HRESULT hr = make(i, &item);
        if (com::FAILED(hr)) {
            for (IItem* made : items) made->Release();
            return hr;
        }
        if (item) items.push_back(item);
    }
    return com::CreateComObject<NetCfgEnumImpl<IEnum, IItem>>(enumerator, std::move(items));
}

}  // namespace netcfg
