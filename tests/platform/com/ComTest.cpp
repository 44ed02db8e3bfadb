#include <gtest/gtest.h>

#include <thread>

#include "platform/com/ComObject.h"
#include "platform/registry/Registry.h"
#include "tests/platform/com/TempRoot.h"

using namespace com;

namespace {

struct IProbe : IUnknown {
    virtual int value() = 0;

protected:
    ~IProbe() = default;
};
struct IOther : IUnknown {
    virtual int other() = 0;

protected:
    ~IOther() = default;
};
constexpr IID IID_IProbe{0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr IID IID_IOther{0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};
constexpr CLSID CLSID_Probe{0x99999999, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};

}  // namespace

template <>
struct com::InterfaceTraits<IProbe> {
    static constexpr const IID& id() { return IID_IProbe; }
};
template <>
struct com::InterfaceTraits<IOther> {
    static constexpr const IID& id() { return IID_IOther; }
};

namespace {

class Probe : public ComObjectRoot, public IProbe, public IOther {
public:
    using Interfaces = InterfaceList<IProbe, IOther>;
    int value() override { return 42; }
    int other() override { return 7; }
};

// An outer object that counts what its inner object delegates to it.
class Outer : public IUnknown {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        ++queries;
        if (riid == IID_IUnknown) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner->QueryInterface(riid, object);
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    IUnknown* inner = nullptr;
    ULONG refs = 1;
    int queries = 0;
};

class ComApartment : public TempRootTest {
protected:
    void SetUp() override {
        TempRootTest::SetUp();
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), S_OK);
        IUnknown* factory = nullptr;
        ASSERT_EQ(ClassObject<Probe>::Create(IID_IUnknown, reinterpret_cast<void**>(&factory)), S_OK);
        ASSERT_EQ(CoRegisterClassObject(CLSID_Probe, factory, &cookie_), S_OK);
        factory->Release();
    }
    void TearDown() override {
        CoRevokeClassObject(cookie_);
        CoUninitialize();
        TempRootTest::TearDown();
    }
    DWORD cookie_ = 0;
};

TEST(ComGuid, TextFormRoundTripsAndRejectsMalformedText) {
    constexpr GUID g{0x5B035261, 0x40F9, 0x11D1, {0xAA, 0xEC, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
    EXPECT_EQ(StringFromGUID(g), "{5B035261-40F9-11D1-AAEC-00805FC1270E}");
    GUID parsed{};
    ASSERT_TRUE(GUIDFromString("{5b035261-40f9-11d1-aaec-00805fc1270e}", &parsed));
    EXPECT_TRUE(parsed == g);
    for (const char* bad :
         {"5B035261-40F9-11D1-AAEC-00805FC1270E", "{5B035261-40F9-11D1-AAEC-00805FC1270}",
          "{5B035261-40F9-11D1+AAEC-00805FC1270E}", "{5B035261-40F9-11D1-AAEC-00805FC1270G}", ""})
        EXPECT_FALSE(GUIDFromString(bad, &parsed)) << bad;
}

TEST(ComApartmentRules, CreationNeedsAnApartmentAndTheModelStaysFixed) {
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_Probe, nullptr, CLSCTX_INPROC_SERVER, IID_IProbe, &object),
              CO_E_NOTINITIALIZED);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    // Another thread has its own apartment.
    HRESULT other = S_OK;
    std::thread([&] {
        other = CoCreateInstance(CLSID_Probe, nullptr, CLSCTX_INPROC_SERVER, IID_IProbe, &object);
    }).join();
    EXPECT_EQ(other, CO_E_NOTINITIALIZED);
    CoUninitialize();
    CoUninitialize();
}

TEST_F(ComApartment, RegisteredClassIsCreatedWithItsInterfacesAndCounted) {
    long before = ModuleLockCount();
    IProbe* probe = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_Probe, nullptr, CLSCTX_INPROC_SERVER, IID_IProbe,
                               reinterpret_cast<void**>(&probe)),
              S_OK);
    EXPECT_EQ(probe->value(), 42);
    EXPECT_EQ(ModuleLockCount(), before + 1);

    IOther* other = nullptr;
    ASSERT_EQ(probe->QueryInterface(IID_IOther, reinterpret_cast<void**>(&other)), S_OK);
    EXPECT_EQ(other->other(), 7);
    // Both interfaces report the same identity.
    IUnknown *a = nullptr, *b = nullptr;
    probe->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
    other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
    EXPECT_EQ(a, b);
    a->Release();
    b->Release();
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(probe->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    other->Release();
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_EQ(ModuleLockCount(), before);

    constexpr CLSID unknown{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_INPROC_SERVER, IID_IProbe, &object),
              REGDB_E_CLASSNOTREG);
}

TEST_F(ComApartment, AggregatedObjectDelegatesToItsOuterObject) {
    Outer outer;
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_Probe, &outer, CLSCTX_INPROC_SERVER, IID_IProbe, &object),
              CLASS_E_NOAGGREGATION);
    ASSERT_EQ(CoCreateInstance(CLSID_Probe, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    IProbe* probe = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IProbe, reinterpret_cast<void**>(&probe)), S_OK);
    EXPECT_EQ(outer.refs, 2u);  // the inner object's interfaces count on the outer object
    IUnknown* identity = nullptr;
    ASSERT_EQ(probe->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, &outer);
    EXPECT_GE(outer.queries, 1);
    identity->Release();
    probe->Release();
    EXPECT_EQ(outer.refs, 1u);
    long live = ModuleLockCount();
    EXPECT_EQ(outer.inner->Release(), 0u);
    EXPECT_EQ(ModuleLockCount(), live - 1);
}

TEST_F(ComApartment, InProcessServerNamedInTheRegistryMustLoad) {
    using namespace registry;
    constexpr CLSID server{0x12345678, 0x1, 0x2, {1, 1, 1, 1, 1, 1, 1, 1}};
    std::string path = "CLSID\\" + StringFromGUID(server) + "\\InprocServer32";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_ALL_ACCESS, &key, nullptr), 0);
    const char missing[] = "/nonexistent/libnothing.so";
    ASSERT_EQ(
        RegSetValueEx(key, nullptr, REG_SZ, reinterpret_cast<const std::uint8_t*>(missing), sizeof missing),
        0);
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(server, nullptr, CLSCTX_INPROC_SERVER, IID_IProbe, &object),
              HRESULT_FROM_WIN32(126));
    // Only in-process servers are looked up there.
    EXPECT_EQ(CoCreateInstance(server, nullptr, 0, IID_IProbe, &object), REGDB_E_CLASSNOTREG);
    RegCloseKey(key);
}

TEST(ComResults, Win32CodesBecomeFailures) {
    EXPECT_EQ(static_cast<std::uint32_t>(HRESULT_FROM_WIN32(5)), 0x80070005u);
    EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
    EXPECT_TRUE(FAILED(HRESULT_FROM_WIN32(1168)));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
}

}  // namespace
