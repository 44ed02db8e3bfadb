#include <gtest/gtest.h>

#include <vector>

#include "platform/com/ComModule.h"
#include "platform/com/ComRegistrar.h"
#include "platform/com/TypeLib.h"
#include "platform/registry/Registry.h"
#include "tests/platform/com/TempRoot.h"

using namespace com;
using namespace registry;

namespace {

const char* SCRIPT = R"(
HKCR
{
    NoRemove CLSID
    {
        ForceRemove {aaaaaaaa-1111-2222-3333-444444444444} = s 'It''s an object'
        {
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Both'
            }
            val Flags = d '0x80000000'
        }
    }
    Plain
    {
        Inner = s '100%%'
    }
}
)";

bool keyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_READ, &key) != 0) return false;
    RegCloseKey(key);
    return true;
}

std::string stringValue(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_READ, &key) != 0) return "<no key>";
    char text[256] = {};
    std::uint32_t size = sizeof text - 1, type = 0;
    LSTATUS status = RegQueryValueEx(key, name, &type, reinterpret_cast<std::uint8_t*>(text), &size);
    RegCloseKey(key);
    if (status != 0) return "<no value>";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<std::uint32_t*>(text));
    return text;
}

class ComRegistrarTest : public TempRootTest {};

TEST_F(ComRegistrarTest, RegisterWritesEveryKeyAndValue) {
    ASSERT_EQ(RunRegistryScript(SCRIPT, true, {{"MODULE", "/opt/x/libthing.so"}}), S_OK);
    const std::string object = "CLSID\\{AAAAAAAA-1111-2222-3333-444444444444}";
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, object, nullptr), "It's an object");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, object + "\\InprocServer32", nullptr), "/opt/x/libthing.so");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, object + "\\InprocServer32", "ThreadingModel"), "Both");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, object, "Flags"), "2147483648");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, "Plain\\Inner", nullptr), "100%");
}

TEST_F(ComRegistrarTest, ReRegisteringReplacesAForceRemoveKeyWhole) {
    ASSERT_EQ(RunRegistryScript(SCRIPT, true, {{"MODULE", "a"}}), S_OK);
    HKEY stale = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{aaaaaaaa-1111-2222-3333-444444444444}\\Stale", 0,
                             KEY_ALL_ACCESS, &stale, nullptr),
              0);
    RegCloseKey(stale);
    ASSERT_EQ(RunRegistryScript(SCRIPT, true, {{"MODULE", "b"}}), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "CLSID\\{aaaaaaaa-1111-2222-3333-444444444444}\\Stale"));
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, "CLSID\\{aaaaaaaa-1111-2222-3333-444444444444}\\InprocServer32",
                          nullptr),
              "b");
}

TEST_F(ComRegistrarTest, UnregisterKeepsNoRemoveKeysAndKeysOthersStillUse) {
    HKEY other = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "CLSID\\{other}", 0, KEY_ALL_ACCESS, &other, nullptr), 0);
    RegCloseKey(other);
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, "Plain\\Foreign", 0, KEY_ALL_ACCESS, &other, nullptr), 0);
    RegCloseKey(other);
    ASSERT_EQ(RunRegistryScript(SCRIPT, true, {{"MODULE", "m"}}), S_OK);
    ASSERT_EQ(RunRegistryScript(SCRIPT, false, {{"MODULE", "m"}}), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "CLSID\\{aaaaaaaa-1111-2222-3333-444444444444}"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID\\{other}"));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "Plain\\Inner"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "Plain\\Foreign"));

    // Once nothing foreign is left, the plain key goes too; CLSID never does.
    RegDeleteKey(HKEY_CLASSES_ROOT, "Plain\\Foreign");
    RegDeleteKey(HKEY_CLASSES_ROOT, "CLSID\\{other}");
    ASSERT_EQ(RunRegistryScript(SCRIPT, false, {{"MODULE", "m"}}), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "Plain"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID"));
}

TEST_F(ComRegistrarTest, MalformedScriptsChangeNothing) {
    const char* bad[] = {
        "HKCU { A }",                  // unknown root
        "HKCR { A = s 'open }",        // unclosed quote
        "HKCR { A = x 'v' }",          // unknown type
        "HKCR { A { val = s 'v' } }",  // value without a name
        "HKCR { A = s '%UNKNOWN%' }",  // no such replacement
        "HKCR { A ",                   // unclosed key list
        "HKCR { val V = s 'x' }",      // a value needs a key
    };
    for (const char* script : bad) EXPECT_EQ(RunRegistryScript(script, true, {}), E_INVALIDARG) << script;
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "A"));
    EXPECT_EQ(RunRegistryScript("HKCR { A = d 'twelve' }", true, {}),
              HRESULT_FROM_WIN32(base::win32::ERROR_INVALID_DATA));
}

TEST_F(ComRegistrarTest, TypeLibraryRegistersItsVersionAndUnregistersCleanly) {
    const char* lib =
        "library ThingLib {49e0be5c-fc5f-4b0a-9484-a49a171e2ef3} 1.0\n"
        "coclass Thing {aaaaaaaa-1111-2222-3333-444444444444}\n";
    TypeLibDescription parsed;
    ASSERT_TRUE(ParseTypeLib(lib, &parsed));
    EXPECT_EQ(parsed.coclasses.size(), 1u);
    ASSERT_EQ(RegisterTypeLib(lib, "/opt/x/libthing.so"), S_OK);
    const std::string base = "TypeLib\\{49E0BE5C-FC5F-4B0A-9484-A49A171E2EF3}\\1.0";
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, base, nullptr), "ThingLib");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, base + "\\0\\linux", nullptr), "/opt/x/libthing.so");
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, base + "\\HELPDIR", nullptr), "/opt/x/");
    ASSERT_EQ(UnRegisterTypeLib(lib), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "TypeLib\\{49E0BE5C-FC5F-4B0A-9484-A49A171E2EF3}"));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "TypeLib"));

    for (const char* bad : {"", "coclass A {aaaaaaaa-1111-2222-3333-444444444444}",
                            "library L {49e0be5c-fc5f-4b0a-9484-a49a171e2ef3} 1", "library L {49e0be5c} 1.0",
                            "library L {49e0be5c-fc5f-4b0a-9484-a49a171e2ef3} 1.0 extra"})
        EXPECT_FALSE(ParseTypeLib(bad, nullptr)) << bad;
}

TEST_F(ComRegistrarTest, ModuleFindsResourcesAndClasses) {
    static const ResourceEntry resources[] = {{"REGISTRY", 7, "HKCR { FromModule = s '%MODULE%' }"},
                                              {nullptr, 0, nullptr}};
    ComModule module;
    ASSERT_EQ(module.Init(nullptr, reinterpret_cast<const void*>(&RunRegistryScript), resources), S_OK);
    EXPECT_FALSE(module.ModulePath().empty());
    ASSERT_EQ(module.UpdateRegistryFromResource(7, true), S_OK);
    EXPECT_EQ(stringValue(HKEY_CLASSES_ROOT, "FromModule", nullptr), module.ModulePath());
    EXPECT_EQ(module.UpdateRegistryFromResource(8, true), HRESULT_FROM_WIN32(1813));
    void* object = nullptr;
    EXPECT_EQ(module.GetClassObject(IID_IUnknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
