#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/registry/RegistryTestSupport.h"

using namespace registry;
using namespace base::win32;

namespace {

HKEY createKey(HKEY root, const char* path, std::uint32_t access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(root, path, 0, access, &key, nullptr), ERROR_SUCCESS);
    return key;
}

void setDword(HKEY key, const char* name, std::uint32_t n) {
    std::uint8_t data[4] = {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16),
                            std::uint8_t(n >> 24)};
    ASSERT_EQ(RegSetValueEx(key, name, REG_DWORD, data, 4), ERROR_SUCCESS);
}

std::vector<std::uint8_t> queryBytes(HKEY key, const char* name, std::uint32_t* type) {
    std::uint32_t size = 0;
    EXPECT_EQ(RegQueryValueEx(key, name, type, nullptr, &size), ERROR_SUCCESS);
    std::vector<std::uint8_t> data(size);
    EXPECT_EQ(RegQueryValueEx(key, name, type, data.data(), &size), ERROR_SUCCESS);
    return data;
}

class RegistryApiTest : public RegistryRootTest {};

TEST_F(RegistryApiTest, CreateOpensExistingKeysCaseInsensitivelyAndKeepsTheFirstSpelling) {
    std::uint32_t disposition = 0;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Varnel\\BindCtl", 0, KEY_ALL_ACCESS, &key,
                             &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "software\\VARNEL\\bindctl", 0, KEY_ALL_ACCESS, &key,
                             &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    HKEY varnel = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\varnel", 0, KEY_READ, &varnel), ERROR_SUCCESS);
    char name[64];
    std::uint32_t cch = sizeof name;
    ASSERT_EQ(RegEnumKeyEx(varnel, 0, name, &cch), ERROR_SUCCESS);
    EXPECT_STREQ(name, "BindCtl");
    EXPECT_EQ(cch, 7u);
    RegCloseKey(varnel);
}

TEST_F(RegistryApiTest, OpeningAMissingKeyIsNotFoundAndLeavesNoHandle) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyEx(nullptr, "SOFTWARE", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApiTest, QueryGivesSizesTypesAndMoreDataLikeWindows) {
    HKEY key = createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\T");
    const char text[] = "hello";
    ASSERT_EQ(
        RegSetValueEx(key, "Greeting", REG_SZ, reinterpret_cast<const std::uint8_t*>(text), sizeof text),
        ERROR_SUCCESS);

    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "greeting", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, sizeof text);

    std::uint8_t small[3] = {};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "Greeting", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);

    EXPECT_EQ(RegQueryValueEx(key, "Missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueEx(key, nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(RegSetValueEx(key, "", REG_SZ, reinterpret_cast<const std::uint8_t*>(text), sizeof text),
              ERROR_SUCCESS);
    EXPECT_EQ(queryBytes(key, nullptr, &type), bytesOf(std::string(text, sizeof text)));
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, EveryTypeAndOddDataReadsBackByteForByte) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string data;
    };
    const Case cases[] = {
        {"Sz", REG_SZ, std::string("C:\\Program Files\\x\0", 19)},
        {"Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\a\0", 15)},
        {"Number", REG_DWORD, std::string("\x00\x00\x00\x80", 4)},
        {"Multi", REG_MULTI_SZ, std::string("PCI\\VEN_1\0pci\\ven_2\0\0", 21)},
        {"EmptyMulti", REG_MULTI_SZ, std::string("\0", 1)},
        {"Binary", REG_BINARY, std::string("\x00\xff\x10\"\\", 5)},
        {"EmptyBinary", REG_BINARY, ""},
        {"SzWithoutNull", REG_SZ, "abc"},
        {"SzWithInnerNull", REG_SZ, std::string("a\0b\0", 4)},
        {"ShortNumber", REG_DWORD, "\x01\x02"},
        {"MultiWithEmptyString", REG_MULTI_SZ, std::string("a\0\0b\0\0", 6)},
        {"OtherType", 11, "12345678"},
        {"Quotes \"and\\ \x01 control", REG_SZ, std::string("line\nnext\t\"q\"\0", 14)},
    };
    HKEY key = createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Types");
    for (const auto& c : cases)
        ASSERT_EQ(RegSetValueEx(key, c.name, c.type, reinterpret_cast<const std::uint8_t*>(c.data.data()),
                                static_cast<std::uint32_t>(c.data.size())),
                  ERROR_SUCCESS)
            << c.name;
    for (const auto& c : cases) {
        std::uint32_t type = 0;
        EXPECT_EQ(queryBytes(key, c.name, &type), bytesOf(c.data)) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    RegCloseKey(key);
    // Usual forms are stored readably, so that a root can be prepared by hand.
    std::string text = storeText();
    EXPECT_NE(text.find("\"Number\"=dword:80000000"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Multi\"=multi_sz:\"PCI\\\\VEN_1\",\"pci\\\\ven_2\""), std::string::npos) << text;
}

TEST_F(RegistryApiTest, EnumerationKeepsValueOrderAndSortsSubkeys) {
    HKEY key = createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\E");
    for (const char* name : {"zeta", "Alpha", "mid"}) setDword(key, name, 1);
    setDword(key, "ALPHA", 2);  // rewriting keeps the value where it was
    for (const char* sub : {"b", "C", "a"}) RegCloseKey(createKey(key, sub));

    std::vector<std::string> values, keys;
    char name[32];
    std::uint32_t cch = sizeof name, i = 0;
    LSTATUS status;
    while ((status = RegEnumValue(key, i++, name, &cch, nullptr, nullptr, nullptr)) == ERROR_SUCCESS) {
        values.push_back(name);
        cch = sizeof name;
    }
    EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
    i = 0;
    cch = sizeof name;
    while ((status = RegEnumKeyEx(key, i++, name, &cch)) == ERROR_SUCCESS) {
        keys.push_back(name);
        cch = sizeof name;
    }
    EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(values, (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "b", "C"}));

    std::uint32_t type = 0, data = 0, cb = 4;
    cch = sizeof name;
    ASSERT_EQ(RegEnumValue(key, 1, name, &cch, &type, reinterpret_cast<std::uint8_t*>(&data), &cb),
              ERROR_SUCCESS);
    EXPECT_EQ(data, 2u);
    cch = 4;  // room for "zeta" but not its null
    EXPECT_EQ(RegEnumValue(key, 0, name, &cch, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

    std::uint32_t subKeys = 0, maxKey = 0, nValues = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(RegQueryInfoKey(key, &subKeys, &maxKey, &nValues, &maxName, &maxData), ERROR_SUCCESS);
    EXPECT_EQ(std::vector<std::uint32_t>({subKeys, maxKey, nValues, maxName, maxData}),
              std::vector<std::uint32_t>({3, 1, 3, 5, 4}));
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, DeletingKeysAndValues) {
    HKEY parent = createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\D");
    HKEY child = createKey(parent, "Child\\Grandchild");
    setDword(child, "v", 7);

    EXPECT_EQ(RegDeleteKey(parent, "Child"), ERROR_ACCESS_DENIED);  // still has a subkey
    EXPECT_EQ(RegDeleteKey(parent, "Nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(child, "V"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(child, "v"), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteTree(parent, "Child"), ERROR_SUCCESS);
    // A handle on a key deleted under it says so instead of recreating the key.
    std::uint32_t size = 0;
    EXPECT_EQ(RegQueryValueEx(child, "v", nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(child, "v", REG_BINARY, nullptr, 0), ERROR_KEY_DELETED);
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyEx(parent, "Child", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);

    setDword(parent, "kept", 1);
    RegCloseKey(createKey(parent, "x"));
    EXPECT_EQ(RegDeleteTree(parent, nullptr), ERROR_SUCCESS);
    std::uint32_t subKeys = 9, values = 9;
    ASSERT_EQ(RegQueryInfoKey(parent, &subKeys, nullptr, &values, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(subKeys + values, 0u);
    RegCloseKey(child);
    RegCloseKey(parent);
}

TEST_F(RegistryApiTest, AccessRightsOfTheHandleAreEnforced) {
    RegCloseKey(createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\R"));
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\R", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    std::uint8_t b = 1;
    EXPECT_EQ(RegSetValueEx(readOnly, "v", REG_BINARY, &b, 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(readOnly, "v"), ERROR_ACCESS_DENIED);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyEx(readOnly, "sub", 0, KEY_ALL_ACCESS, &sub, nullptr), ERROR_ACCESS_DENIED);
    RegCloseKey(readOnly);

    HKEY writeOnly = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\R", 0, KEY_SET_VALUE, &writeOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(writeOnly, "v", REG_BINARY, &b, 1), ERROR_SUCCESS);
    std::uint32_t size = 0;
    EXPECT_EQ(RegQueryValueEx(writeOnly, "v", nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    RegCloseKey(writeOnly);
}

TEST_F(RegistryApiTest, ClassesRootIsTheMachineClassesKey) {
    HKEY clsid = createKey(HKEY_CLASSES_ROOT, "CLSID\\{1}");
    setDword(clsid, "n", 5);
    RegCloseKey(clsid);
    HKEY viaMachine = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\{1}", 0, KEY_READ, &viaMachine),
              ERROR_SUCCESS);
    std::uint32_t type = 0;
    EXPECT_EQ(queryBytes(viaMachine, "n", &type), bytesOf(std::string("\x05\0\0\0", 4)));
    RegCloseKey(viaMachine);
}

}  // namespace
