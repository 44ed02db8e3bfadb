// Protocol configuration over the registry stand-in: how stored values read as NDIS parameters.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ndis/Ndis.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/registry/Registry.h"

namespace {

using Bytes = std::vector<uint8_t>;

NDIS_STRING Wide(std::u16string& text) {
    NDIS_STRING s;
    s.Buffer = text.data();
    s.Length = USHORT(text.size() * 2);
    s.MaximumLength = s.Length;
    return s;
}

class NdisConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = std::filesystem::temp_directory_path() / ("ndis-config-" + std::to_string(::getpid()));
        registry::RegSetStoreFile(file_.string());
        ndissim::NdisEnvironment::instance().reset();
        ASSERT_EQ(registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path_.c_str(), 0,
                                           registry::KEY_ALL_ACCESS, &key_, nullptr),
                  0);
    }
    void TearDown() override {
        registry::RegCloseKey(key_);
        registry::RegSetStoreFile("");
        std::filesystem::remove(file_);
        std::filesystem::remove(file_.string() + ".lock");
    }
    void Set(const char* name, uint32_t type, const Bytes& data) {
        ASSERT_EQ(registry::RegSetValueEx(key_, name, type, data.data(), uint32_t(data.size())), 0);
    }
    NDIS_HANDLE OpenConfig() {
        std::u16string wide(path_.begin(), path_.end());
        NDIS_STRING section = Wide(wide);
        NDIS_STATUS status;
        NDIS_HANDLE handle = nullptr;
        NdisOpenProtocolConfiguration(&status, &handle, &section);
        EXPECT_EQ(status, NDIS_STATUS_SUCCESS);
        return handle;
    }

    std::filesystem::path file_;
    std::string path_ = "SYSTEM\\CurrentControlSet\\Services\\Pellodur\\Parameters\\Adapters\\{T}";
    registry::HKEY key_ = nullptr;
};

TEST_F(NdisConfigurationTest, ValuesReadAsTheTypeAsked) {
    Set("Dword", registry::REG_DWORD, Bytes{0x2A, 0, 0, 0});
    Set("Decimal", registry::REG_SZ, Bytes{'1', '2', 0});
    Set("Hex", registry::REG_SZ, Bytes{'f', 'F', 0});
    Set("Word", registry::REG_SZ, Bytes{'n', 'o', 0});
    Set("Name", registry::REG_SZ, Bytes{'\\', 'D', 0xC3, 0xA9, 0});
    Set("Short", registry::REG_BINARY, Bytes{1, 2});
    Bytes longest(32767, 'a'), tooLong(40000, 'a');
    longest.push_back(0);
    tooLong.push_back(0);
    Set("Longest", registry::REG_SZ, longest);
    Set("TooLong", registry::REG_SZ, tooLong);
    struct Case {
        std::u16string name;
        NDIS_PARAMETER_TYPE type;
        NDIS_STATUS status;
        ULONG integer;
        std::u16string text;
    } cases[] = {
        {u"Dword", NdisParameterInteger, NDIS_STATUS_SUCCESS, 42, u""},
        {u"dword", NdisParameterInteger, NDIS_STATUS_SUCCESS, 42, u""},
        {u"Decimal", NdisParameterInteger, NDIS_STATUS_SUCCESS, 12, u""},
        {u"Hex", NdisParameterHexInteger, NDIS_STATUS_SUCCESS, 255, u""},
        {u"Word", NdisParameterInteger, NDIS_STATUS_FAILURE, 0, u""},
        {u"Name", NdisParameterString, NDIS_STATUS_SUCCESS, 0, u"\\D\u00e9"},
        {u"Dword", NdisParameterString, NDIS_STATUS_FAILURE, 0, u""},
        {u"Short", NdisParameterInteger, NDIS_STATUS_FAILURE, 0, u""},
        {u"Missing", NdisParameterInteger, NDIS_STATUS_FAILURE, 0, u""},
        {u"Longest", NdisParameterString, NDIS_STATUS_SUCCESS, 0, std::u16string(32767, u'a')},
        {u"TooLong", NdisParameterString, NDIS_STATUS_FAILURE, 0, u""},
    };
    NDIS_HANDLE config = OpenConfig();
    for (auto& c : cases) {
        NDIS_STRING keyword = Wide(c.name);
        NDIS_STATUS status;
        NDIS_CONFIGURATION_PARAMETER* value = nullptr;
        NdisReadConfiguration(&status, &value, config, &keyword, c.type);
        EXPECT_EQ(status, c.status) << std::string(c.name.begin(), c.name.end());
        if (status != NDIS_STATUS_SUCCESS) continue;
        if (c.type == NdisParameterString)
            EXPECT_EQ(std::u16string(value->StringData.Buffer, value->StringData.Length / 2), c.text);
        else
            EXPECT_EQ(value->IntegerData, c.integer);
    }
    NdisCloseConfiguration(config);
}

TEST_F(NdisConfigurationTest, WritesStoreTypedValuesAndMissingKeysDoNotOpen) {
    NDIS_HANDLE config = OpenConfig();
    std::u16string number = u"BootControl", path = u"PCapFile", empty;
    NDIS_STRING numberKey = Wide(number), pathKey = Wide(path);
    NDIS_CONFIGURATION_PARAMETER value;
    value.ParameterType = NdisParameterInteger;
    value.IntegerData = 0x01020304;
    NDIS_STATUS status;
    NdisWriteConfiguration(&status, config, &numberKey, &value);
    EXPECT_EQ(status, NDIS_STATUS_SUCCESS);
    value.ParameterType = NdisParameterString;
    value.StringData = Wide(empty);
    NdisWriteConfiguration(&status, config, &pathKey, &value);
    EXPECT_EQ(status, NDIS_STATUS_SUCCESS);
    NdisCloseConfiguration(config);

    uint32_t type = 0, size = 8;
    uint8_t data[8] = {};
    ASSERT_EQ(registry::RegQueryValueEx(key_, "BootControl", &type, data, &size), 0);
    EXPECT_EQ(type, registry::REG_DWORD);
    EXPECT_EQ(Bytes(data, data + size), (Bytes{4, 3, 2, 1}));
    size = 8;
    ASSERT_EQ(registry::RegQueryValueEx(key_, "PCapFile", &type, data, &size), 0);
    EXPECT_EQ(type, registry::REG_SZ);
    EXPECT_EQ(size, 1u);

    std::u16string missing = u"SYSTEM\\Nowhere";
    NDIS_STRING section = Wide(missing);
    NDIS_HANDLE handle = &status;
    NdisOpenProtocolConfiguration(&status, &handle, &section);
    EXPECT_EQ(status, NDIS_STATUS_FAILURE);
    EXPECT_EQ(handle, nullptr);
}

}  // namespace
