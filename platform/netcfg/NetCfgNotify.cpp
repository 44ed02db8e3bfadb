#include "platform/netcfg/NetCfgModel.h"

namespace netcfg {

void LoadNotifyObjects(const NetCfgModelPtr& model, INetCfg* netCfg) {
    const auto& components = model->state.components;
    for (std::size_t i = 0; i < components.size(); ++i) {
        GUID clsid{};
        if (!components[i].notifyObject || !com::GUIDFromString(*components[i].notifyObject, &clsid))
            continue;
        INetCfgComponentControl* control = nullptr;
        if (com::FAILED(com::CoCreateInstance(clsid, nullptr, com::CLSCTX_INPROC_SERVER,
                                              IID_INetCfgComponentControl,
                                              reinterpret_cast<void**>(&control))))
            continue;
        INetCfgComponent* component = nullptr;
        INetCfgComponentNotifyBinding* notify = nullptr;
        if (com::SUCCEEDED(CreateComponent(model, i, &component)) &&
            com::SUCCEEDED(control->Initialize(component, netCfg, false)) &&
            com::SUCCEEDED(control->QueryInterface(IID_INetCfgComponentNotifyBinding,
                                                   reinterpret_cast<void**>(&notify)))) {
            model->notifyObjects.emplace_back(i, notify);
        }
        if (component) component->Release();
        control->Release();
    }
}

void ReleaseNotifyObjects(NetCfgModel& model) {
    // Released outside the list: a notify object lets go of the configuration as it goes.
    auto objects = std::move(model.notifyObjects);
    model.notifyObjects.clear();
    for (auto& entry : objects) entry.second->Release();
}

HRESULT QueryBindingPath(const NetCfgModelPtr& model, std::size_t binding, DWORD changeFlag) {
    const BindingRecord& record = model->state.bindings.at(binding);
    int owner = model->state.findByBindName(record.path.front());
    for (auto& [index, notify] : model->notifyObjects) {
        if (static_cast<int>(index) != owner) continue;
        INetCfgBindingPath* path = nullptr;
        HRESULT hr = CreateBindingPath(model, binding, &path);
        if (com::FAILED(hr)) return hr;
        hr = notify->QueryBindingPath(changeFlag, path);
        path->Release();
        return hr;
    }
    return com::S_OK;
}

}  // namespace netcfg
