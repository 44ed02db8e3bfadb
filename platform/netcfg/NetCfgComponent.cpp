#include "platform/netcfg/NetCfgComponent.h"

#include <algorithm>

namespace netcfg {

namespace {

HRESULT copyText(const std::optional<std::string>& text, char** out) {
    if (!out) return com::E_POINTER;
    *out = nullptr;
    if (!text) return com::HRESULT_FROM_WIN32(base::win32::ERROR_FILE_NOT_FOUND);
    *out = com::CoTaskMemStrDup(*text);
    return *out ? com::S_OK : com::E_OUTOFMEMORY;
}

}  // namespace

HRESULT NetCfgComponentImpl::GetDisplayName(char** displayName) {
    return copyText(record().displayName, displayName);
}
HRESULT NetCfgComponentImpl::GetId(char** componentId) {
    return copyText(record().id, componentId);
}
HRESULT NetCfgComponentImpl::GetBindName(char** bindName) {
    return copyText(record().bindName, bindName);
}

HRESULT NetCfgComponentImpl::GetCharacteristics(DWORD* characteristics) {
    if (!characteristics) return com::E_POINTER;
    *characteristics = record().characteristics;
    return com::S_OK;
}

HRESULT NetCfgComponentImpl::GetClassGuid(GUID* classGuid) {
    if (!classGuid) return com::E_POINTER;
    *classGuid = record().classGuid();
    return com::S_OK;
}

HRESULT NetCfgComponentImpl::GetDeviceStatus(ULONG* status) {
    if (!status) return com::E_POINTER;
    if (!record().deviceStatus) return com::HRESULT_FROM_WIN32(base::win32::ERROR_NOT_FOUND);
    *status = *record().deviceStatus;
    return com::S_OK;
}

HRESULT NetCfgComponentImpl::OpenParamKey(registry::HKEY* key) {
    if (!key) return com::E_POINTER;
    *key = nullptr;
    std::string path;
    if (record().paramKey) {
        path = *record().paramKey;
    } else if (record().bindName) {
        path = "SYSTEM\\CurrentControlSet\\Control\\Class\\" + com::StringFromGUID(record().classGuid()) +
               "\\" + *record().bindName;
    } else {
        return com::HRESULT_FROM_WIN32(base::win32::ERROR_FILE_NOT_FOUND);
    }
    return com::HRESULT_FROM_WIN32(
        registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0, registry::KEY_ALL_ACCESS, key));
}

HRESULT NetCfgComponentImpl::EnumBindingPaths(DWORD flags, IEnumNetCfgBindingPath** paths) {
    if (!paths) return com::E_POINTER;
    *paths = nullptr;
    if (flags != EBP_ABOVE && flags != EBP_BELOW) return com::E_INVALIDARG;
    std::vector<std::size_t> chosen;
    if (record().bindName) {
        const auto& bindings = model_->state.bindings;
        for (std::size_t i = 0; i < bindings.size(); ++i) {
            const auto& path = bindings[i].path;
            bool owns = path.front() == *record().bindName;
            bool below = std::find(path.begin() + 1, path.end(), *record().bindName) != path.end();
            if ((flags == EBP_BELOW && owns) || (flags == EBP_ABOVE && below)) chosen.push_back(i);
        }
    }
    return CreateEnumerator<IEnumNetCfgBindingPath, INetCfgBindingPath>(
        chosen.size(),
        [&](std::size_t i, INetCfgBindingPath** item) { return CreateBindingPath(model_, chosen[i], item); },
        paths);
}

HRESULT CreateComponent(const NetCfgModelPtr& model, std::size_t index, INetCfgComponent** component) {
    return com::CreateComObject<NetCfgComponentImpl>(component, model, index);
}

HRESULT CreateComponentByBindName(const NetCfgModelPtr& model, const std::string& bindName,
                                  INetCfgComponent** component) {
    int index = model->state.findByBindName(bindName);
    if (index < 0) {
        if (component) *component = nullptr;
        return com::E_UNEXPECTED;
    }
    return CreateComponent(model, static_cast<std::size_t>(index), component);
}

}  // namespace netcfg
