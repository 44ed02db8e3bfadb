// Protocol configuration reads and writes, kept in the registry stand-in under the machine root.
#include <cstdlib>
#include <list>
#include <string>

#include "platform/base/Utf16.h"
#include "platform/ndis/Ndis.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/registry/Registry.h"

namespace {

struct ConfigurationHandle {
    registry::HKEY key = nullptr;
    // Parameters handed out stay valid until the handle is closed, as NDIS keeps them.
    std::list<std::pair<NDIS_CONFIGURATION_PARAMETER, std::u16string>> parameters;
};

std::string ToUtf8(const NDIS_STRING* s) {
    if (!s || !s->Buffer) return std::string();
    return base::utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(s->Buffer), s->Length / 2));
}

}  // namespace

void NdisOpenProtocolConfiguration(NDIS_STATUS* status, NDIS_HANDLE* configurationHandle,
                                   NDIS_STRING* protocolSection) {
    *configurationHandle = nullptr;
    if (NDIS_STATUS failure = ndissim::injectedStatus("NdisOpenProtocolConfiguration")) {
        *status = failure;
        return;
    }
    registry::HKEY key = nullptr;
    std::string path = ToUtf8(protocolSection);
    if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                               registry::KEY_READ | registry::KEY_WRITE,
                               &key) != base::win32::ERROR_SUCCESS) {
        *status = NDIS_STATUS_FAILURE;
        return;
    }
    auto* handle = new ConfigurationHandle;
    handle->key = key;
    *configurationHandle = handle;
    *status = NDIS_STATUS_SUCCESS;
}

void NdisReadConfiguration(NDIS_STATUS* status, NDIS_CONFIGURATION_PARAMETER** parameterValue,
                           NDIS_HANDLE configurationHandle, NDIS_STRING* keyword, NDIS_PARAMETER_TYPE type) {
    *status = NDIS_STATUS_FAILURE;
    *parameterValue = nullptr;
    auto* handle = static_cast<ConfigurationHandle*>(configurationHandle);
    if (!handle) return;
    std::string name = ToUtf8(keyword);
    uint32_t valueType = 0;
    uint32_t size = 0;
    if (registry::RegQueryValueEx(handle->key, name.c_str(), &valueType, nullptr, &size) !=
        base::win32::ERROR_SUCCESS)
        return;
    std::string data(size, '\0');
    if (registry::RegQueryValueEx(handle->key, name.c_str(), &valueType,
                                  reinterpret_cast<uint8_t*>(data.data()),
                                  &size) != base::win32::ERROR_SUCCESS)
        return;
    data.resize(size);
    bool isString = valueType == registry::REG_SZ || valueType == registry::REG_EXPAND_SZ;
    if (isString) {
        auto end = data.find('\0');
        if (end != std::string::npos) data.resize(end);
    }

    handle->parameters.emplace_back();
    auto& [parameter, text] = handle->parameters.back();
    if (type == NdisParameterInteger || type == NdisParameterHexInteger) {
        parameter.ParameterType = type;
        if (valueType == registry::REG_DWORD && data.size() == 4) {
            parameter.IntegerData = uint32_t(uint8_t(data[0])) | uint32_t(uint8_t(data[1])) << 8 |
                                    uint32_t(uint8_t(data[2])) << 16 | uint32_t(uint8_t(data[3])) << 24;
        } else if (isString && !data.empty()) {
            // NDIS reads a number stored as text in the base the caller asks for.
            char* end = nullptr;
            unsigned long value = std::strtoul(data.c_str(), &end, type == NdisParameterHexInteger ? 16 : 10);
            if (*end != '\0') return;
            parameter.IntegerData = ULONG(value);
        } else {
            return;
        }
    } else if (type == NdisParameterString || type == NdisParameterMultiString) {
        if (!isString && valueType != registry::REG_MULTI_SZ) return;
        parameter.ParameterType = NdisParameterString;
        text = base::utf8ToUtf16(data);
        // A counted string's lengths are 16 bits: a longer value is not read rather than cut short.
        if (text.size() * 2 > 0xFFFE) return;
        parameter.StringData.Buffer = text.data();
        parameter.StringData.Length = USHORT(text.size() * 2);
        parameter.StringData.MaximumLength = parameter.StringData.Length;
    } else {
        return;
    }
    *parameterValue = &parameter;
    *status = NDIS_STATUS_SUCCESS;
}

void NdisWriteConfiguration(NDIS_STATUS* status, NDIS_HANDLE configurationHandle, NDIS_STRING* keyword,
                            NDIS_CONFIGURATION_PARAMETER* parameterValue) {
    *status = NDIS_STATUS_FAILURE;
    auto* handle = static_cast<ConfigurationHandle*>(configurationHandle);
    if (!handle || !parameterValue) return;
    std::string name = ToUtf8(keyword);
    long result;
    if (parameterValue->ParameterType == NdisParameterInteger ||
        parameterValue->ParameterType == NdisParameterHexInteger) {
        uint8_t bytes[4];
        for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(parameterValue->IntegerData >> (8 * i));
        result = registry::RegSetValueEx(handle->key, name.c_str(), registry::REG_DWORD, bytes, 4);
    } else if (parameterValue->ParameterType == NdisParameterString) {
        std::string text = ToUtf8(&parameterValue->StringData);
        result = registry::RegSetValueEx(handle->key, name.c_str(), registry::REG_SZ,
                                         reinterpret_cast<const uint8_t*>(text.c_str()),
                                         uint32_t(text.size() + 1));
    } else {
        return;
    }
    if (result == base::win32::ERROR_SUCCESS) *status = NDIS_STATUS_SUCCESS;
}

void NdisCloseConfiguration(NDIS_HANDLE configurationHandle) {
    auto* handle = static_cast<ConfigurationHandle*>(configurationHandle);
    if (!handle) return;
    registry::RegCloseKey(handle->key);
    delete handle;
}
