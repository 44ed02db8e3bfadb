#include <gtest/gtest.h>

#include <optional>

#include "runtime/lum/LumMain.h"
#include "service/RunEngine.h"
#include "service/ServiceQuit.h"
#include "tests/service/ServiceTestSupport.h"
#include "vel/connection/DatagramSubscriber.h"
#include "vel/credmgr/CredentialKeyHolder.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/network/ScanList.h"
#include "vel/reference/ReferenceImpl.h"

namespace {

class IdleSubscriberImpl : public ReferenceImpl, public DatagramSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void connectionStateChanged(const Connection&, int) override {}
    void datagramReceived(const Connection&, const Datagram&) override {}
};

// What the probe saw once start-up had built everything but the quit wait.
struct RunningService {
    bool quitSignalExisted = false;
    bool scanListExisted = false;
    bool entryFound = false;
    bool keyHolderUsed = false;
} g_seen;

// Runs where the client communication joins the forwarder: every singleton of the start-up exists.
// It writes the scan list as a port manager would and asks the service to stop right away.
DatagramSubscriberInterface* probeRunningService() {
    // A client may ask for the repair as soon as the pipe is served.
    g_seen.quitSignalExisted = QuitSignalImpl::Singleton != nullptr;
    g_seen.scanListExisted = ScanListImpl::Singleton != nullptr;
    if (g_seen.scanListExisted) {
        const std::uint8_t bssid[6] = {0, 1, 2, 3, 4, 5};
        ElementVector entries = ElementVector::create();
        entries.add(Ssid::create("lab", ByteArray(bssid, 6), 0, ElementVector::create(), 0, 6, -40, 20, 0,
                                 LocationCapabilities())
                        .m);
        ScanList list;
        list.setScanList(entries);
        g_seen.entryFound = list.find("lab", ByteArray(bssid, 6)).exists();
    }
    // As a stored credential or enciphered configuration content would.
    g_seen.keyHolderUsed = CredentialKeyHolder::instance().keyString() == "Rb7wTq2MxJ9pLk4V";
    ServiceQuit::request();
    return new IdleSubscriberImpl;
}

TEST(RunEngineTest, ScanListLivesFromStartUpToTheEndOfShutDown) {
    TempRoot root;
    ServiceQuit::reset();
    setDatagramSubscriberFactory(&probeRunningService);
    {
        LumRuntime runtime;
        EXPECT_EQ(runEngine(), 0) << readText(root.log());
        EXPECT_EQ(ScanListImpl::Singleton, nullptr) << "released with the other singletons";
        EXPECT_FALSE(CredentialKeyHolder::exists()) << "destroyed after the singletons";
    }
    setDatagramSubscriberFactory(nullptr);
    EXPECT_TRUE(g_seen.quitSignalExisted);
    EXPECT_TRUE(g_seen.scanListExisted);
    EXPECT_TRUE(g_seen.entryFound);
    EXPECT_TRUE(g_seen.keyHolderUsed);
    EXPECT_EQ(LumMain::leakCount(), 0) << "the entries written during the run went with the list";
}

}  // namespace
