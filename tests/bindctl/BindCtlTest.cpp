#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/netcfg/NetCfg.h"
#include "platform/netcfg/NetworkState.h"
#include "platform/registry/Registry.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempHome.h"

using namespace netcfg;
using com::HRESULT;
using com::S_FALSE;
using com::S_OK;

namespace {

constexpr com::CLSID CLSID_CBindCtl{
    0x20de2ccc, 0x9e1d, 0x4b43, {0x9a, 0x2c, 0x2b, 0xb8, 0x5b, 0x2e, 0xdb, 0xa2}};
constexpr HRESULT REFUSED = NETCFG_S_DISABLE_QUERY;

// Paths over a physical and a virtual adapter, directly and through a filter.
const char* STATE = R"(
[component]
bind-name = Proto
id = ms_proto
class = nettrans
[component]
bind-name = Filt
id = tamsel_filter
class = netservice
characteristics = 0x400
[component]
bind-name = {PHYS}
id = pci\phys
characteristics = 0x4
[component]
bind-name = {VIRT}
id = tamsel_virtual
characteristics = 0x21
[binding]
path = Proto {PHYS}
[binding]
path = Proto {VIRT}
[binding]
path = Proto Filt {PHYS}
[binding]
path = Proto Filt {VIRT}
)";

struct Server {
    void* library = nullptr;
    HRESULT (*registerServer)() = nullptr;
    HRESULT (*unregisterServer)() = nullptr;
    HRESULT (*canUnloadNow)() = nullptr;
    HRESULT (*getClassObject)(com::REFCLSID, com::REFIID, void**) = nullptr;
};

class BindCtlTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_.emplace("bindctl");
        root_ = home_->path();
        std::ofstream(root_ + "/netcfg") << STATE;
        ASSERT_TRUE(com::SUCCEEDED(com::CoInitializeEx(nullptr, com::COINIT_APARTMENTTHREADED)));

        server_.library = dlopen(NVOBIND_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(server_.library, nullptr) << dlerror();
        server_.registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(server_.library, "DllRegisterServer"));
        server_.unregisterServer =
            reinterpret_cast<HRESULT (*)()>(dlsym(server_.library, "DllUnregisterServer"));
        server_.canUnloadNow = reinterpret_cast<HRESULT (*)()>(dlsym(server_.library, "DllCanUnloadNow"));
        server_.getClassObject = reinterpret_cast<HRESULT (*)(com::REFCLSID, com::REFIID, void**)>(
            dlsym(server_.library, "DllGetClassObject"));
        ASSERT_TRUE(server_.registerServer && server_.unregisterServer && server_.canUnloadNow &&
                    server_.getClassObject);
        ASSERT_EQ(server_.registerServer(), S_OK);

        ASSERT_EQ(com::CoCreateInstance(CLSID_CNetCfg, nullptr, com::CLSCTX_INPROC_SERVER, IID_INetCfg,
                                        reinterpret_cast<void**>(&netCfg_)),
                  S_OK);
        ASSERT_EQ(netCfg_->Initialize(nullptr), S_OK);
    }
    void TearDown() override {
        if (netCfg_) netCfg_->Release();
        if (server_.library) dlclose(server_.library);
        com::CoUninitialize();
        home_.reset();
    }

    // "BindCtlFlags" as the given type and bytes; no type removes the key.
    void setFlags(std::optional<std::uint32_t> type, const std::string& bytes = "") {
        using namespace registry;
        RegDeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Varnel\\BindCtl");
        if (!type) return;
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Varnel\\BindCtl", 0, KEY_ALL_ACCESS, &key, nullptr),
            0);
        if (*type != REG_NONE) {
            ASSERT_EQ(
                RegSetValueEx(key, "BindCtlFlags", *type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                              static_cast<std::uint32_t>(bytes.size())),
                0);
        }
        RegCloseKey(key);
    }

    INetCfgComponentNotifyBinding* createNotifyObject() {
        INetCfgComponentNotifyBinding* notify = nullptr;
        EXPECT_EQ(com::CoCreateInstance(CLSID_CBindCtl, nullptr, com::CLSCTX_INPROC_SERVER,
                                        IID_INetCfgComponentNotifyBinding, reinterpret_cast<void**>(&notify)),
                  S_OK);
        return notify;
    }

    // Every path owned by the protocol, in state order.
    std::vector<INetCfgBindingPath*> paths() {
        INetCfgComponent* proto = nullptr;
        EXPECT_EQ(netCfg_->FindComponent("ms_proto", &proto), S_OK);
        INetCfgComponentBindings* bindings = nullptr;
        proto->QueryInterface(IID_INetCfgComponentBindings, reinterpret_cast<void**>(&bindings));
        IEnumNetCfgBindingPath* all = nullptr;
        bindings->EnumBindingPaths(EBP_BELOW, &all);
        std::vector<INetCfgBindingPath*> result;
        INetCfgBindingPath* path = nullptr;
        while (all->Next(1, &path, nullptr) == S_OK) result.push_back(path);
        all->Release();
        bindings->Release();
        proto->Release();
        return result;
    }

    std::vector<HRESULT> verdicts(INetCfgComponentNotifyBinding* notify) {
        std::vector<HRESULT> results;
        for (INetCfgBindingPath* path : paths()) {
            results.push_back(notify->QueryBindingPath(NCN_ADD | NCN_ENABLE, path));
            path->Release();
        }
        return results;
    }

    static std::string keyDefault(const std::string& path) {
        using namespace registry;
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return "<no key>";
        char text[512] = {};
        std::uint32_t size = sizeof text - 1;
        LSTATUS status = RegQueryValueEx(key, nullptr, nullptr, reinterpret_cast<std::uint8_t*>(text), &size);
        if (status == 0 && std::string(path).ends_with("InprocServer32")) {
            char model[16] = {};
            std::uint32_t modelSize = sizeof model - 1;
            RegQueryValueEx(key, "ThreadingModel", nullptr, reinterpret_cast<std::uint8_t*>(model),
                            &modelSize);
            RegCloseKey(key);
            return std::string(text) + " [" + model + "]";
        }
        RegCloseKey(key);
        return status == 0 ? text : "<no value>";
    }

    // The names of a key's subkeys as they are stored, case included.
    static std::vector<std::string> subkeyNames(const std::string& path) {
        using namespace registry;
        std::vector<std::string> names;
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return names;
        char name[256];
        std::uint32_t size = sizeof name;
        for (std::uint32_t i = 0; RegEnumKeyEx(key, i, name, &size) == 0; ++i, size = sizeof name)
            names.push_back(name);
        RegCloseKey(key);
        return names;
    }

    std::optional<tamsel::test::TempHome> home_;
    std::string root_;
    Server server_;
    INetCfg* netCfg_ = nullptr;
};

TEST_F(BindCtlTest, RegistrationWritesTheClassAndTypeLibraryAndUnregistrationRemovesThem) {
    const std::string clsid = "CLSID\\{20de2ccc-9e1d-4b43-9a2c-2bb85b2edba2}";
    const std::string typeLib = "TypeLib\\{49e0be5c-fc5f-4b0a-9484-a49a171e2ef3}\\1.0";
    EXPECT_EQ(keyDefault(clsid), "Varnel Nvo Binding Controller Notify Object");
    EXPECT_EQ(keyDefault(clsid + "\\InprocServer32"), std::string(NVOBIND_PATH) + " [Both]");
    EXPECT_EQ(keyDefault(typeLib), "BindCtlLib");
    EXPECT_EQ(subkeyNames(clsid), std::vector<std::string>{"InProcServer32"});

    ASSERT_EQ(server_.unregisterServer(), S_OK);
    EXPECT_EQ(keyDefault(clsid), "<no key>");
    EXPECT_EQ(keyDefault("TypeLib\\{49e0be5c-fc5f-4b0a-9484-a49a171e2ef3}"), "<no key>");
    EXPECT_NE(keyDefault("CLSID"), "<no key>");
    // Unregistering what is not registered still succeeds.
    EXPECT_EQ(server_.unregisterServer(), S_OK);
}

TEST_F(BindCtlTest, PathsOverVirtualAdaptersAreRefusedUnlessTheFlagAllowsThem) {
    using namespace registry;
    const std::vector<HRESULT> VETO{S_FALSE, REFUSED, S_FALSE, REFUSED};
    const std::vector<HRESULT> ALLOW_ALL{S_OK, S_OK, S_OK, S_OK};
    struct Case {
        const char* name;
        std::optional<std::uint32_t> type;
        std::string bytes;
        std::vector<HRESULT> expected;
    };
    const Case cases[] = {
        {"no key", std::nullopt, "", VETO},
        {"no value", REG_NONE, "", VETO},
        {"bit 31", REG_DWORD, std::string("\x00\x00\x00\x80", 4), ALLOW_ALL},
        {"all bits", REG_DWORD, std::string("\xff\xff\xff\xff", 4), ALLOW_ALL},
        {"all but bit 31", REG_DWORD, std::string("\xff\xff\xff\x7f", 4), VETO},
        {"as a string", REG_SZ, std::string("2147483648\0", 11), VETO},
        {"as binary", REG_BINARY, std::string("\x00\x00\x00\x80", 4), VETO},
        {"number of 8 bytes", REG_DWORD, std::string("\x00\x00\x00\x80\x00\x00\x00\x00", 8), VETO},
    };
    for (const auto& c : cases) {
        setFlags(c.type, c.bytes);
        INetCfgComponentNotifyBinding* notify = createNotifyObject();
        ASSERT_NE(notify, nullptr);
        EXPECT_EQ(verdicts(notify), c.expected) << c.name;
        EXPECT_EQ(notify->QueryBindingPath(NCN_ADD, nullptr), S_OK) << c.name;
        notify->Release();
    }
}

TEST_F(BindCtlTest, FlagIsReadWhenTheObjectIsMade) {
    setFlags(std::nullopt);
    INetCfgComponentNotifyBinding* before = createNotifyObject();
    setFlags(registry::REG_DWORD, std::string("\x00\x00\x00\x80", 4));
    INetCfgComponentNotifyBinding* after = createNotifyObject();
    EXPECT_EQ(verdicts(before)[1], REFUSED);
    EXPECT_EQ(verdicts(after)[1], S_OK);
    before->Release();
    after->Release();
}

// A binding path whose interfaces are scripted, to see what the veto does with odd answers.
struct FakeWorld {
    int liveEnumerators = 0;
    HRESULT enumResult = S_OK;
    HRESULT nextError = S_OK;                  // returned by Next after the interfaces when set
    std::vector<std::optional<DWORD>> lowers;  // characteristics; none: GetLowerComponent fails
};

class FakeComponent : public com::ComObjectRoot, public INetCfgComponent {
public:
    using Interfaces = com::InterfaceList<INetCfgComponent>;
    explicit FakeComponent(DWORD characteristics) : characteristics_(characteristics) {}
    HRESULT GetDisplayName(char**) override { return com::E_NOTIMPL; }
    HRESULT GetId(char**) override { return com::E_NOTIMPL; }
    HRESULT GetCharacteristics(DWORD* c) override { return *c = characteristics_, S_OK; }
    HRESULT GetClassGuid(com::GUID*) override { return com::E_NOTIMPL; }
    HRESULT GetBindName(char**) override { return com::E_NOTIMPL; }
    HRESULT GetDeviceStatus(com::ULONG*) override { return com::E_NOTIMPL; }
    HRESULT OpenParamKey(registry::HKEY*) override { return com::E_NOTIMPL; }

private:
    DWORD characteristics_;
};

class FakeInterface : public com::ComObjectRoot, public INetCfgBindingInterface {
public:
    using Interfaces = com::InterfaceList<INetCfgBindingInterface>;
    explicit FakeInterface(std::optional<DWORD> lower) : lower_(lower) {}
    HRESULT GetUpperComponent(INetCfgComponent**) override { return com::E_NOTIMPL; }
    HRESULT GetLowerComponent(INetCfgComponent** c) override {
        if (!lower_) return com::E_FAIL;
        return com::CreateComObject<FakeComponent>(c, *lower_);
    }

private:
    std::optional<DWORD> lower_;
};

class FakeEnum : public com::ComObjectRoot, public IEnumNetCfgBindingInterface {
public:
    using Interfaces = com::InterfaceList<IEnumNetCfgBindingInterface>;
    explicit FakeEnum(FakeWorld* world) : world_(world) { ++world_->liveEnumerators; }
    ~FakeEnum() { --world_->liveEnumerators; }
    HRESULT Next(com::ULONG, INetCfgBindingInterface** item, com::ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (position_ >= world_->lowers.size())
            return world_->nextError != S_OK ? world_->nextError : S_FALSE;
        if (fetched) *fetched = 1;
        return com::CreateComObject<FakeInterface>(item, world_->lowers[position_++]);
    }
    HRESULT Skip(com::ULONG) override { return com::E_NOTIMPL; }
    HRESULT Reset() override { return position_ = 0, S_OK; }

private:
    FakeWorld* world_;
    std::size_t position_ = 0;
};

class FakePath : public com::ComObjectRoot, public INetCfgBindingPath {
public:
    using Interfaces = com::InterfaceList<INetCfgBindingPath>;
    explicit FakePath(FakeWorld* world) : world_(world) {}
    HRESULT IsEnabled() override { return S_OK; }
    HRESULT Enable(bool) override { return com::E_NOTIMPL; }
    HRESULT GetPathToken(char**) override { return com::E_NOTIMPL; }
    HRESULT GetOwner(INetCfgComponent**) override { return com::E_NOTIMPL; }
    HRESULT GetDepth(com::ULONG*) override { return com::E_NOTIMPL; }
    HRESULT EnumBindingInterfaces(IEnumNetCfgBindingInterface** e) override {
        if (com::FAILED(world_->enumResult)) return world_->enumResult;
        return com::CreateComObject<FakeEnum>(e, world_);
    }

private:
    FakeWorld* world_;
};

TEST_F(BindCtlTest, VetoPassesOnEnumeratorAnswersAndReleasesWhatItTook) {
    struct Case {
        const char* name;
        FakeWorld world;
        HRESULT expected;
    };
    const Case cases[] = {
        {"no interfaces", {0, S_OK, S_OK, {}}, S_FALSE},
        {"enumeration refused", {0, com::E_OUTOFMEMORY, S_OK, {0x4}}, com::E_OUTOFMEMORY},
        {"error after the last interface", {0, S_OK, com::E_UNEXPECTED, {0x4}}, com::E_UNEXPECTED},
        {"unreadable lower component is passed over", {0, S_OK, S_OK, {std::nullopt, 0x4}}, S_FALSE},
        {"virtual after an unreadable one", {0, S_OK, S_OK, {std::nullopt, 0x1}}, REFUSED},
        {"virtual first stops the walk", {0, S_OK, com::E_UNEXPECTED, {0x5, 0x4}}, REFUSED},
    };
    setFlags(std::nullopt);
    INetCfgComponentNotifyBinding* notify = createNotifyObject();
    for (const auto& c : cases) {
        FakeWorld world = c.world;
        INetCfgBindingPath* path = nullptr;
        ASSERT_EQ(com::CreateComObject<FakePath>(&path, &world), S_OK);
        EXPECT_EQ(notify->QueryBindingPath(NCN_ADD, path), c.expected) << c.name;
        EXPECT_EQ(world.liveEnumerators, 0) << c.name;
        EXPECT_EQ(path->Release(), 0u) << c.name;
    }
    notify->Release();
}

TEST_F(BindCtlTest, InitializeHoldsItsInterfacesUntilTheObjectGoes) {
    INetCfgComponent* component = nullptr;
    ASSERT_EQ(netCfg_->FindComponent("ms_proto", &component), S_OK);
    INetCfgComponentControl* control = nullptr;
    ASSERT_EQ(com::CoCreateInstance(CLSID_CBindCtl, nullptr, com::CLSCTX_INPROC_SERVER,
                                    IID_INetCfgComponentControl, reinterpret_cast<void**>(&control)),
              S_OK);
    auto references = [](com::IUnknown* object) {
        object->AddRef();
        return object->Release();
    };
    const com::ULONG componentRefs = references(component), netCfgRefs = references(netCfg_);
    ASSERT_EQ(control->Initialize(component, netCfg_, false), S_OK);
    EXPECT_EQ(references(component), componentRefs + 1);
    EXPECT_EQ(references(netCfg_), netCfgRefs + 1);
    // Initialised again, it keeps one reference each, not two.
    ASSERT_EQ(control->Initialize(component, netCfg_, true), S_OK);
    EXPECT_EQ(references(component), componentRefs + 1);

    EXPECT_EQ(control->ApplyRegistryChanges(), S_OK);
    EXPECT_EQ(control->ApplyPnpChanges(nullptr), S_OK);
    EXPECT_EQ(control->CancelChanges(), S_OK);
    INetCfgComponentNotifyGlobal* global = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_INetCfgComponentNotifyGlobal, reinterpret_cast<void**>(&global)),
              S_OK);
    DWORD mask = 0;
    ASSERT_EQ(global->GetSupportedNotifications(&mask), S_OK);
    EXPECT_EQ(mask, 0x00030137u);
    EXPECT_EQ(global->SysNotifyComponent(NCN_ADD | NCN_NET, component), S_OK);
    global->Release();

    control->Release();
    EXPECT_EQ(references(component), componentRefs);
    EXPECT_EQ(references(netCfg_), netCfgRefs);
    component->Release();
}

TEST_F(BindCtlTest, ModuleCanUnloadOnlyWithoutObjectsOrLocks) {
    EXPECT_EQ(server_.canUnloadNow(), S_OK);
    INetCfgComponentNotifyBinding* notify = createNotifyObject();
    EXPECT_EQ(server_.canUnloadNow(), S_FALSE);
    notify->Release();
    EXPECT_EQ(server_.canUnloadNow(), S_OK);

    com::IClassFactory* factory = nullptr;
    ASSERT_EQ(
        server_.getClassObject(CLSID_CBindCtl, com::IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    EXPECT_EQ(server_.canUnloadNow(), S_OK);  // a class object alone does not keep the module
    factory->LockServer(true);
    EXPECT_EQ(server_.canUnloadNow(), S_FALSE);
    factory->LockServer(false);
    EXPECT_EQ(server_.canUnloadNow(), S_OK);

    // Made inside an outer object, it hands out its inner IUnknown only.
    struct Outer : com::IUnknown {
        HRESULT QueryInterface(com::REFIID, void**) override { return com::E_NOINTERFACE; }
        com::ULONG AddRef() override { return ++refs; }
        com::ULONG Release() override { return --refs; }
        com::ULONG refs = 1;
    } outer;
    void* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_INetCfgComponentNotifyBinding, &object),
              com::CLASS_E_NOAGGREGATION);
    com::IUnknown* inner = nullptr;
    ASSERT_EQ(factory->CreateInstance(&outer, com::IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    INetCfgComponentNotifyBinding* aggregated = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_INetCfgComponentNotifyBinding, reinterpret_cast<void**>(&aggregated)),
              S_OK);
    EXPECT_EQ(outer.refs, 2u);
    aggregated->Release();
    inner->Release();
    factory->Release();

    void* none = nullptr;
    EXPECT_EQ(server_.getClassObject(CLSID_CNetCfg, com::IID_IClassFactory, &none),
              com::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(server_.canUnloadNow(), S_OK);
}

// The configuration loads the notify object registered for the protocol, as the system does: the
// veto holds when paths are enabled and when an adapter is restarted.
const char* REGISTERED_STATE = R"(
[component]
bind-name = Proto
id = ms_proto
class = nettrans
notify-object = {20DE2CCC-9E1D-4B43-9A2C-2BB85B2EDBA2}
[component]
bind-name = {PHYS}
id = pci\phys
characteristics = 0x4
hardware-ids = pci\phys
[component]
bind-name = {VIRT}
id = tamsel_virtual
characteristics = 0x21
hardware-ids = tamsel_virtual
[binding]
path = Proto {PHYS}
enabled = ENABLED
[binding]
path = Proto {VIRT}
enabled = ENABLED
)";

std::string registeredState(const char* enabled) {
    std::string text = REGISTERED_STATE;
    for (size_t at; (at = text.find("ENABLED")) != std::string::npos;) text.replace(at, 7, enabled);
    return text;
}

std::vector<bool> enabledInTheFile() {
    NetworkState state;
    EXPECT_EQ(NetworkStateFile::read(state), 0);
    std::vector<bool> enabled;
    for (const auto& binding : state.bindings) enabled.push_back(binding.enabled);
    return enabled;
}

TEST_F(BindCtlTest, EnablingAPathOverAVirtualAdapterIsVetoedByTheLoadedNotifyObject) {
    std::ofstream(root_ + "/netcfg") << registeredState("no");
    INetCfg* netCfg = nullptr;
    ASSERT_EQ(com::CoCreateInstance(CLSID_CNetCfg, nullptr, com::CLSCTX_INPROC_SERVER, IID_INetCfg,
                                    reinterpret_cast<void**>(&netCfg)),
              S_OK);
    INetCfgLock* lock = nullptr;
    ASSERT_EQ(netCfg->QueryInterface(IID_INetCfgLock, reinterpret_cast<void**>(&lock)), S_OK);
    ASSERT_EQ(lock->AcquireWriteLock(1000, "test", nullptr), S_OK);
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    INetCfgComponent* proto = nullptr;
    ASSERT_EQ(netCfg->FindComponent("ms_proto", &proto), S_OK);
    INetCfgComponentBindings* bindings = nullptr;
    ASSERT_EQ(proto->QueryInterface(IID_INetCfgComponentBindings, reinterpret_cast<void**>(&bindings)), S_OK);
    IEnumNetCfgBindingPath* all = nullptr;
    ASSERT_EQ(bindings->EnumBindingPaths(EBP_BELOW, &all), S_OK);
    std::vector<HRESULT> results;
    for (INetCfgBindingPath* path = nullptr; all->Next(1, &path, nullptr) == S_OK; path->Release())
        results.push_back(path->Enable(true));
    EXPECT_EQ(results, (std::vector<HRESULT>{S_OK, REFUSED}));
    EXPECT_EQ(netCfg->Apply(), S_OK);
    all->Release();
    bindings->Release();
    proto->Release();
    EXPECT_EQ(netCfg->Uninitialize(), S_OK);
    lock->ReleaseWriteLock();
    lock->Release();
    netCfg->Release();
    EXPECT_EQ(enabledInTheFile(), (std::vector<bool>{true, false}));
}

TEST_F(BindCtlTest, RestartingAVirtualAdapterDisablesThePathsTheNotifyObjectVetoes) {
    std::ofstream(root_ + "/netcfg") << registeredState("yes");
    tamsel::test::ChildProcess restart;
    ASSERT_TRUE(restart.start(NICBOUNCE_PATH, {"{PHYS},{VIRT}"}));
    EXPECT_EQ(restart.wait(), 0);
    EXPECT_EQ(enabledInTheFile(), (std::vector<bool>{true, false}));
}

}  // namespace
