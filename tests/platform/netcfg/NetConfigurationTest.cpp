#include <gtest/gtest.h>

#include <set>

#include "platform/registry/Registry.h"
#include "tests/platform/netcfg/NetCfgFixture.h"

using namespace netcfg;
using com::S_FALSE;
using com::S_OK;

namespace {

const char* STATE = R"(
[component]
bind-name = {WIRED}
id = PCI\VEN_8086&DEV_100E
display-name = Wired adapter
characteristics = 0x4
device-status = 0x180200a

[component]
bind-name = {VIRTUAL}
id = tamsel_vmini
characteristics = 0x1

[component]
bind-name = Tcpip
id = ms_tcpip
class = nettrans

[component]
bind-name = Ndisuio
id = ms_ndisuio
class = nettrans

[component]
bind-name = Pellodur
id = tamsel_nvofilt
class = netservice
characteristics = 0x400

[binding]
path = Tcpip Pellodur {WIRED}

[binding]
path = Ndisuio {WIRED}

[binding]
path = Ndisuio {VIRTUAL}
enabled = no
)";

class NetConfigurationTest : public NetCfgFixture {
protected:
    void SetUp() override {
        NetCfgFixture::SetUp();
        writeState(STATE);
    }

    std::vector<std::string> bindNames(IEnumNetCfgComponent* components) {
        std::vector<std::string> names;
        INetCfgComponent* component = nullptr;
        while (components->Next(1, &component, nullptr) == S_OK) {
            char* name = nullptr;
            component->GetBindName(&name);
            names.push_back(take(name));
            component->Release();
        }
        return names;
    }

    // Tokens of the component's paths in one direction.
    std::vector<std::string> pathTokens(INetCfgComponent* component, DWORD direction) {
        INetCfgComponentBindings* bindings = nullptr;
        EXPECT_EQ(
            component->QueryInterface(IID_INetCfgComponentBindings, reinterpret_cast<void**>(&bindings)),
            S_OK);
        IEnumNetCfgBindingPath* paths = nullptr;
        EXPECT_EQ(bindings->EnumBindingPaths(direction, &paths), S_OK);
        std::vector<std::string> tokens;
        INetCfgBindingPath* path = nullptr;
        while (paths->Next(1, &path, nullptr) == S_OK) {
            char* token = nullptr;
            path->GetPathToken(&token);
            tokens.push_back(take(token));
            path->Release();
        }
        paths->Release();
        bindings->Release();
        return tokens;
    }

    INetCfgBindingPath* firstPathBelow(INetCfg* netCfg, const char* ownerId) {
        INetCfgComponent* owner = nullptr;
        EXPECT_EQ(netCfg->FindComponent(ownerId, &owner), S_OK);
        INetCfgComponentBindings* bindings = nullptr;
        owner->QueryInterface(IID_INetCfgComponentBindings, reinterpret_cast<void**>(&bindings));
        IEnumNetCfgBindingPath* paths = nullptr;
        bindings->EnumBindingPaths(EBP_BELOW, &paths);
        INetCfgBindingPath* path = nullptr;
        EXPECT_EQ(paths->Next(1, &path, nullptr), S_OK);
        paths->Release();
        bindings->Release();
        owner->Release();
        return path;
    }
};

TEST_F(NetConfigurationTest, ComponentsAreEnumeratedByClass) {
    INetCfg* netCfg = openNetCfg();
    IEnumNetCfgComponent* components = nullptr;
    EXPECT_EQ(netCfg->EnumComponents(&GUID_DEVCLASS_NET, &components), NETCFG_E_NOT_INITIALIZED);
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    EXPECT_EQ(netCfg->Initialize(nullptr), NETCFG_E_ALREADY_INITIALIZED);

    ASSERT_EQ(netCfg->EnumComponents(&GUID_DEVCLASS_NET, &components), S_OK);
    EXPECT_EQ(bindNames(components), (std::vector<std::string>{"{WIRED}", "{VIRTUAL}"}));
    // Reset starts again; asking for more than is left fetches the rest and says so.
    components->Reset();
    INetCfgComponent* batch[3] = {};
    com::ULONG fetched = 9;
    EXPECT_EQ(components->Next(3, batch, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    batch[0]->Release();
    batch[1]->Release();
    components->Release();

    ASSERT_EQ(netCfg->EnumComponents(nullptr, &components), S_OK);
    EXPECT_EQ(bindNames(components).size(), 5u);
    components->Release();
    ASSERT_EQ(netCfg->EnumComponents(&GUID_DEVCLASS_NETCLIENT, &components), S_OK);
    EXPECT_TRUE(bindNames(components).empty());
    components->Release();

    EXPECT_EQ(netCfg->Uninitialize(), S_OK);
    EXPECT_EQ(netCfg->Uninitialize(), NETCFG_E_NOT_INITIALIZED);
    netCfg->Release();
}

TEST_F(NetConfigurationTest, ComponentPropertiesAndTheirAbsence) {
    INetCfg* netCfg = openNetCfg();
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    INetCfgComponent* wired = nullptr;
    ASSERT_EQ(netCfg->FindComponent("pci\\ven_8086&dev_100e", &wired), S_OK);  // ids compare without case
    char* text = nullptr;
    ASSERT_EQ(wired->GetDisplayName(&text), S_OK);
    EXPECT_EQ(take(text), "Wired adapter");
    com::ULONG status = 0;
    ASSERT_EQ(wired->GetDeviceStatus(&status), S_OK);
    EXPECT_EQ(status, 0x180200au);
    com::GUID cls{};
    ASSERT_EQ(wired->GetClassGuid(&cls), S_OK);
    EXPECT_TRUE(cls == GUID_DEVCLASS_NET);

    // The parameter key is the adapter's key under the net class unless the state names one.
    registry::HKEY key = nullptr;
    EXPECT_EQ(wired->OpenParamKey(&key), com::HRESULT_FROM_WIN32(base::win32::ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE,
                                       "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-"
                                       "08002BE10318}\\{WIRED}",
                                       0, registry::KEY_ALL_ACCESS, &key, nullptr),
              0);
    registry::RegCloseKey(key);
    ASSERT_EQ(wired->OpenParamKey(&key), S_OK);
    registry::RegCloseKey(key);
    wired->Release();

    INetCfgComponent* virtualAdapter = nullptr;
    ASSERT_EQ(netCfg->FindComponent("TAMSEL_VMINI", &virtualAdapter), S_OK);
    EXPECT_TRUE(com::FAILED(virtualAdapter->GetDisplayName(&text)));
    EXPECT_EQ(text, nullptr);
    EXPECT_TRUE(com::FAILED(virtualAdapter->GetDeviceStatus(&status)));
    virtualAdapter->Release();

    INetCfgComponent* none = reinterpret_cast<INetCfgComponent*>(1);
    EXPECT_EQ(netCfg->FindComponent("ms_nothing", &none), S_FALSE);
    EXPECT_EQ(none, nullptr);
    netCfg->Release();
}

TEST_F(NetConfigurationTest, BindingPathsAboveAndBelowAComponent) {
    INetCfg* netCfg = openNetCfg();
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    struct Case {
        const char* id;
        DWORD direction;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"PCI\\VEN_8086&DEV_100E", EBP_ABOVE, {"-Tcpip-Pellodur-{WIRED}", "-Ndisuio-{WIRED}"}},
        {"PCI\\VEN_8086&DEV_100E", EBP_BELOW, {}},
        {"tamsel_nvofilt", EBP_ABOVE, {"-Tcpip-Pellodur-{WIRED}"}},
        {"ms_ndisuio", EBP_BELOW, {"-Ndisuio-{WIRED}", "-Ndisuio-{VIRTUAL}"}},
        {"ms_ndisuio", EBP_ABOVE, {}},
    };
    for (const auto& c : cases) {
        INetCfgComponent* component = nullptr;
        ASSERT_EQ(netCfg->FindComponent(c.id, &component), S_OK) << c.id;
        EXPECT_EQ(pathTokens(component, c.direction), c.tokens) << c.id << " " << c.direction;
        component->Release();
    }

    INetCfgBindingPath* path = firstPathBelow(netCfg, "ms_tcpip");
    com::ULONG depth = 0;
    ASSERT_EQ(path->GetDepth(&depth), S_OK);
    EXPECT_EQ(depth, 2u);
    IEnumNetCfgBindingInterface* interfaces = nullptr;
    ASSERT_EQ(path->EnumBindingInterfaces(&interfaces), S_OK);
    std::vector<std::string> links;
    INetCfgBindingInterface* link = nullptr;
    while (interfaces->Next(1, &link, nullptr) == S_OK) {
        INetCfgComponent *upper = nullptr, *lower = nullptr;
        ASSERT_EQ(link->GetUpperComponent(&upper), S_OK);
        ASSERT_EQ(link->GetLowerComponent(&lower), S_OK);
        char *u = nullptr, *l = nullptr;
        upper->GetBindName(&u);
        lower->GetBindName(&l);
        links.push_back(take(u) + ">" + take(l));
        upper->Release();
        lower->Release();
        link->Release();
    }
    interfaces->Release();
    EXPECT_EQ(links, (std::vector<std::string>{"Tcpip>Pellodur", "Pellodur>{WIRED}"}));
    INetCfgComponent* owner = nullptr;
    ASSERT_EQ(path->GetOwner(&owner), S_OK);
    char* id = nullptr;
    owner->GetId(&id);
    EXPECT_EQ(take(id), "ms_tcpip");
    owner->Release();
    path->Release();
    netCfg->Release();
}

TEST_F(NetConfigurationTest, EnablingAPathNeedsTheWriteLockAndLastsOnlyWhenApplied) {
    INetCfg* netCfg = openNetCfg();
    INetCfgLock* lock = nullptr;
    ASSERT_EQ(netCfg->QueryInterface(IID_INetCfgLock, reinterpret_cast<void**>(&lock)), S_OK);
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    INetCfgBindingPath* path = firstPathBelow(netCfg, "ms_ndisuio");
    EXPECT_EQ(path->IsEnabled(), S_OK);
    EXPECT_EQ(path->Enable(false), NETCFG_E_NO_WRITE_LOCK);
    EXPECT_EQ(netCfg->Apply(), NETCFG_E_NO_WRITE_LOCK);
    char* holder = nullptr;
    EXPECT_EQ(lock->AcquireWriteLock(0, "VarnelTamsel", &holder), NETCFG_E_ALREADY_INITIALIZED);
    path->Release();
    netCfg->Uninitialize();

    ASSERT_EQ(lock->AcquireWriteLock(5000, "VarnelTamsel", &holder), S_OK);
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    path = firstPathBelow(netCfg, "ms_ndisuio");
    ASSERT_EQ(path->Enable(false), S_OK);
    EXPECT_EQ(path->IsEnabled(), S_FALSE);
    ASSERT_EQ(netCfg->Cancel(), S_OK);
    EXPECT_EQ(path->IsEnabled(), S_OK);
    EXPECT_EQ(stateText(), STATE);  // nothing is written before Apply

    ASSERT_EQ(path->Enable(false), S_OK);
    ASSERT_EQ(netCfg->Apply(), S_OK);
    path->Release();
    netCfg->Uninitialize();
    lock->ReleaseWriteLock();
    lock->Release();
    netCfg->Release();

    // Another configuration object reads the applied flag, and only that one changed.
    INetCfg* other = openNetCfg();
    ASSERT_EQ(other->Initialize(nullptr), S_OK);
    INetCfgComponent* uio = nullptr;
    ASSERT_EQ(other->FindComponent("ms_ndisuio", &uio), S_OK);
    INetCfgComponentBindings* bindings = nullptr;
    uio->QueryInterface(IID_INetCfgComponentBindings, reinterpret_cast<void**>(&bindings));
    IEnumNetCfgBindingPath* paths = nullptr;
    bindings->EnumBindingPaths(EBP_BELOW, &paths);
    std::vector<HRESULT> enabled;
    INetCfgBindingPath* p = nullptr;
    while (paths->Next(1, &p, nullptr) == S_OK) {
        enabled.push_back(p->IsEnabled());
        p->Release();
    }
    EXPECT_EQ(enabled, (std::vector<HRESULT>{S_FALSE, S_FALSE}));
    paths->Release();
    bindings->Release();
    uio->Release();
    other->Release();
    INetCfg* third = openNetCfg();
    ASSERT_EQ(third->Initialize(nullptr), S_OK);
    INetCfgBindingPath* tcpip = firstPathBelow(third, "ms_tcpip");
    EXPECT_EQ(tcpip->IsEnabled(), S_OK);
    tcpip->Release();
    third->Release();
}

TEST_F(NetConfigurationTest, WriteLockIsExclusiveAndNamesItsHolder) {
    INetCfg* first = openNetCfg();
    INetCfg* second = openNetCfg();
    INetCfgLock *lockA = nullptr, *lockB = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_INetCfgLock, reinterpret_cast<void**>(&lockA)), S_OK);
    ASSERT_EQ(second->QueryInterface(IID_INetCfgLock, reinterpret_cast<void**>(&lockB)), S_OK);
    char* holder = nullptr;
    EXPECT_EQ(lockB->IsWriteLocked(&holder), S_FALSE);
    ASSERT_EQ(lockA->AcquireWriteLock(0, "VarnelTamsel", &holder), S_OK);
    EXPECT_EQ(holder, nullptr);

    EXPECT_EQ(lockB->AcquireWriteLock(0, "Other", &holder), S_FALSE);
    EXPECT_EQ(take(holder), "VarnelTamsel");
    holder = nullptr;
    EXPECT_EQ(lockB->IsWriteLocked(&holder), S_OK);
    EXPECT_EQ(take(holder), "VarnelTamsel");

    ASSERT_EQ(lockA->ReleaseWriteLock(), S_OK);
    holder = nullptr;
    ASSERT_EQ(lockB->AcquireWriteLock(0, "Other", &holder), S_OK);
    EXPECT_EQ(lockA->IsWriteLocked(&holder), S_OK);
    EXPECT_EQ(take(holder), "Other");
    // Releasing the object releases its lock.
    lockB->Release();
    second->Release();
    holder = nullptr;
    EXPECT_EQ(lockA->IsWriteLocked(&holder), S_FALSE);
    lockA->Release();
    first->Release();
}

TEST_F(NetConfigurationTest, UnreadableStateFailsInitialisationAndMissingStateIsEmpty) {
    writeState("[component]\nwhat = ever\n");
    INetCfg* netCfg = openNetCfg();
    EXPECT_EQ(netCfg->Initialize(nullptr), com::HRESULT_FROM_WIN32(base::win32::ERROR_BADDB));
    std::filesystem::remove(root_ + "/netcfg");
    ASSERT_EQ(netCfg->Initialize(nullptr), S_OK);
    IEnumNetCfgComponent* components = nullptr;
    ASSERT_EQ(netCfg->EnumComponents(nullptr, &components), S_OK);
    EXPECT_TRUE(bindNames(components).empty());
    components->Release();
    netCfg->Release();
}

}  // namespace
