// Protocol configuration reads and writes, kept in the registry stand-in under the machine root.
#include <cstdlib>
#include <list>
#include <string>

#include "Ndis.h"
#include "KernelText.h"
#include "NdisEnvironment.h"
#include "platform/registry/Registry.h"

namespace {

struct ConfigurationHandle {
    registry::HKEY key = nullptr;
    // Parameters handed out stay valid until the handle is closed, as NDIS keeps them.
    std::list<std::pair<NDIS_CONFIGURATION_PARAMETER, std::u16string>> parameters;
};

std::string ToUtf8(const NDIS_STRING* s) {
    if (!s || !s->Buffer) return std::string();
    return KernelTextToUtf8(reinterpret_cast<const char16_t*>(s->Buffer), s->Length / 2);
}

std::u16string FromUtf8(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = text[i];
        char32_t c;
        int extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else {
            c = b & 0x07;
            extra = 3;
        }
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i) c = (c << 6) | (text[i] & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(char16_t(0xD800 + (c >> 10)));
            out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

}  // namespace

void NdisOpenProtocolConfiguration(NDIS_STATUS* status, NDIS_HANDLE* configurationHandle,
                                   NDIS_STRING* protocolSection) {
    *configurationHandle = nullptr;
    if (NDIS_STATUS failure =
            ndissim::NdisEnvironment::instance().takeFailure(ndissim::NdisCall::OpenConfiguration)) {
        *status = failure;
        return;
    }
    registry::HKEY key = nullptr;
    std::string path = ToUtf8(protocolSection);
    if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                               registry::KEY_READ | registry::KEY_WRITE, &key) != winerr::ERROR_SUCCESS) {
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
        winerr::ERROR_SUCCESS)
        return;
    std::string data(size, '\0');
    if (registry::RegQueryValueEx(handle->key, name.c_str(), &valueType,
                                  reinterpret_cast<uint8_t*>(data.data()), &size) != winerr::ERROR_SUCCESS)
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
        text = FromUtf8(data);
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
    if (result == winerr::ERROR_SUCCESS) *status = NDIS_STATUS_SUCCESS;
}

void NdisCloseConfiguration(NDIS_HANDLE configurationHandle) {
    auto* handle = static_cast<ConfigurationHandle*>(configurationHandle);
    if (!handle) return;
    registry::RegCloseKey(handle->key);
    delete handle;
}
