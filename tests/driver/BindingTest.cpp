// Bindings: start-up values, media state, the upper protocols' requests, power and GUIDs.
#include "tests/driver/DriverFixture.h"

namespace {

using C = FiltConstants;
using namespace std::chrono_literals;

class BindingTest : public DriverFixture {
protected:
    ndissim::SimUpperProtocol* Upper(const char16_t* name) {
        return NdisEnvironment::instance().upperProtocol(name);
    }
    uint32_t PortQuery(SimDeviceFile& file, uint32_t adapterId, uint8_t item) {
        Bytes answer = Private(file, adapterId, false, Command(C::GROUP_PORT, item, 4, Bytes(4, 0)));
        return FiltGetU32(answer.data(), C::CMD_DATA);
    }
};

TEST_F(BindingTest, BootControlClosesThePortOnceAndIsConsumed) {
    auto& lower = AddAdapter({u"\\Device\\{A}", u"A", u"\\Device\\{VA}"});
    SetValue(u"\\Device\\{A}", "BootControl", registry::REG_DWORD, U32(1));
    Load();
    auto& file = Open(1);
    EXPECT_EQ(PortQuery(file, 1, 2), 0u);
    EXPECT_EQ(GetValue(u"\\Device\\{A}", "BootControl"), U32(0));
    auto result = Upper(u"\\Device\\{VA}")->query(OID_GEN_MEDIA_CONNECT_STATUS, 4);
    EXPECT_EQ(result.status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(Bytes(result.data.begin(), result.data.begin() + 4), U32(NdisMediaStateDisconnected));
    EXPECT_EQ(Upper(u"\\Device\\{VA}")->query(OID_GEN_MEDIA_CONNECT_STATUS, 3).status,
              NDIS_STATUS_INVALID_LENGTH);

    auto& env = NdisEnvironment::instance();
    ASSERT_EQ(env.unbindAdapter(lower), NDIS_STATUS_SUCCESS);
    ASSERT_EQ(env.bindAdapter(lower), NDIS_STATUS_SUCCESS);
    EXPECT_EQ(PortQuery(file, 2, 2), 1u);
}

TEST_F(BindingTest, MediaStateAtStartFromBssidOrConnectStatus) {
    struct Case {
        bool wireless;
        Bytes answer;  // BSSID or connect status; empty = the query fails
        uint32_t connected;
    } cases[] = {
        {true, Bytes{0x44, 0x44, 0x44, 0x44, 0x44, 0x44}, 0},
        {true, Bytes(6, 0xFF), 0},
        {true, Bytes(6, 0x00), 0},
        {true, Bytes{0x02, 0, 0, 0, 0, 9}, 1},
        {true, {}, 0},
        {false, U32(NdisMediaStateDisconnected), 0},
        {false, U32(NdisMediaStateConnected), 1},
        {false, {}, 1},
    };
    int n = 0;
    for (const auto& c : cases) {
        std::u16string id = u"{M" + std::u16string(1, char16_t(u'a' + n++)) + u"}";
        auto& lower = AddAdapter({u"\\Device\\" + id, id, u"\\Device\\V" + id, c.wireless});
        NDIS_OID oid = c.wireless ? OID_802_11_BSSID : OID_GEN_MEDIA_CONNECT_STATUS;
        if (c.answer.empty())
            lower.failOid(oid, NDIS_STATUS_FAILURE);
        else
            lower.setAnswer(oid, c.answer);
    }
    Load();
    auto& file = Open(1);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(PortQuery(file, uint32_t(i + 1), 1), cases[i].connected) << i;
}

TEST_F(BindingTest, UpperQueriesAreAdjustedOnTheWayUp) {
    auto& lower = AddAdapter({u"\\Device\\{A}", u"A", u"\\Device\\{VA}"});
    SetValue(u"\\Device\\{A}", "NdisVersion", registry::REG_DWORD, U32(0x00050001));
    lower.setAnswerU32(OID_802_3_MAXIMUM_LIST_SIZE, 64);
    lower.setAnswerU32(OID_GEN_MAC_OPTIONS, 0x0F);
    lower.setAnswer(OID_PNP_CAPABILITIES, Cat({U32(0x5), U32(2), U32(3), U32(4)}));
    Load();
    auto* upper = Upper(u"\\Device\\{VA}");
    ASSERT_TRUE(upper);
    struct Case {
        NDIS_OID oid;
        uint32_t capacity;
        Bytes expected;
    } cases[] = {
        {OID_802_3_MAXIMUM_LIST_SIZE, 4, U32(32)},
        {OID_GEN_MAC_OPTIONS, 4, U32(0x07)},
        {OID_PNP_CAPABILITIES, 16, Cat({U32(0x5), U32(0), U32(0), U32(0)})},
    };
    for (const auto& c : cases) {
        auto result = upper->query(c.oid, c.capacity);
        EXPECT_EQ(result.status, NDIS_STATUS_SUCCESS) << std::hex << c.oid;
        EXPECT_EQ(result.data, c.expected) << std::hex << c.oid;
    }
    EXPECT_EQ(upper->query(OID_GEN_SUPPORTED_GUIDS, 256).status, NDIS_STATUS_NOT_SUPPORTED);
    EXPECT_EQ(upper->query(OID_PNP_QUERY_POWER, 4).status, NDIS_STATUS_SUCCESS);
}

TEST_F(BindingTest, UpperMulticastListBeyond32IsRefused) {
    LoadWithTwoAdapters();
    auto* upper = Upper(u"\\Device\\{VWIRED-0001}");
    Bytes list;
    for (uint8_t i = 0; i < 33; ++i) list.insert(list.end(), {0x01, 0x00, 0x5e, 0, 1, i});
    EXPECT_EQ(upper->set(OID_802_3_MULTICAST_LIST, list).status, NDIS_STATUS_MULTICAST_FULL);
    EXPECT_EQ(upper->set(OID_802_3_MULTICAST_LIST, Bytes(7, 1)).status, NDIS_STATUS_FAILURE);
    EXPECT_EQ(wired_->requestCount(OID_802_3_MULTICAST_LIST), 1u);  // only the start-up query
}

TEST_F(BindingTest, CancelOfSendsReachesTheAdapterBelow) {
    LoadWithTwoAdapters();
    int marker = 0;
    Upper(u"\\Device\\{VRADIO-0002}")->cancelSends(&marker);
    EXPECT_EQ(wireless_->cancelledSends(), std::vector<void*>{&marker});
    EXPECT_TRUE(wired_->cancelledSends().empty());
}

TEST_F(BindingTest, OwnedBindingSwallowsTheSystemsRadioSets) {
    LoadWithTwoAdapters();
    auto& owner = Open(9);
    const NDIS_OID ssid = 0x0D010102;
    auto* upper = Upper(u"\\Device\\{VRADIO-0002}");
    EXPECT_EQ(upper->set(ssid, Bytes(36, 1)).status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(wireless_->requestCount(ssid), 1u);
    Private(owner, 2, true, Command(C::GROUP_OWNERSHIP, 1, 4, U32(1)));
    auto result = upper->set(ssid, Bytes(36, 2));
    EXPECT_EQ(result.status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(result.bytesWritten, 36u);
    EXPECT_EQ(wireless_->requestCount(ssid), 1u);
}

TEST_F(BindingTest, RequestWhileTheAdapterSleepsWaitsForItToWake) {
    LoadWithTwoAdapters();
    auto& env = NdisEnvironment::instance();
    auto* upper = Upper(u"\\Device\\{VWIRED-0001}");
    wired_->setAnswerU32(0x00010107, 1500);
    ASSERT_EQ(env.setLowerPower(*wired_, NdisDeviceStateD3), NDIS_STATUS_SUCCESS);
    // Asleep and standing by: refused at once.
    EXPECT_EQ(upper->query(0x00010107, 4).status, NDIS_STATUS_DEVICE_FAILED);

    // The miniport is back in D0 but the adapter below still sleeps: the request is held.
    ASSERT_EQ(upper->setU32(OID_PNP_SET_POWER, NdisDeviceStateD3).status, NDIS_STATUS_SUCCESS);
    ASSERT_EQ(upper->setU32(OID_PNP_SET_POWER, NdisDeviceStateD0).status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(upper->startQuery(0x00010107, 4), NDIS_STATUS_PENDING);
    EXPECT_EQ(upper->waitRequest(20ms).status, NDIS_STATUS_PENDING);
    ASSERT_EQ(env.setLowerPower(*wired_, NdisDeviceStateD0), NDIS_STATUS_SUCCESS);
    auto done = upper->waitRequest(5s);
    EXPECT_EQ(done.status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(done.data, U32(1500));

    ASSERT_EQ(env.setLowerPower(*wireless_, NdisDeviceStateD3), NDIS_STATUS_SUCCESS);
    auto* radio = Upper(u"\\Device\\{VRADIO-0002}");
    ASSERT_EQ(radio->setU32(OID_PNP_SET_POWER, NdisDeviceStateD3).status, NDIS_STATUS_SUCCESS);
    ASSERT_EQ(radio->setU32(OID_PNP_SET_POWER, NdisDeviceStateD0).status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(radio->startQuery(0x00010107, 4), NDIS_STATUS_PENDING);
    ASSERT_EQ(env.unbindAdapter(*wireless_), NDIS_STATUS_SUCCESS);
    EXPECT_EQ(radio->waitRequest(5s).status, NDIS_STATUS_FAILURE);
}

TEST_F(BindingTest, ResumeIndicatesTheMediaChangeAndUpdatesTheConnectedFlag) {
    LoadWithTwoAdapters();
    auto& env = NdisEnvironment::instance();
    auto& file = Open(3);
    auto* upper = Upper(u"\\Device\\{VWIRED-0001}");
    ASSERT_EQ(PortQuery(file, 1, 1), 1u);
    ASSERT_EQ(upper->setU32(OID_PNP_SET_POWER, NdisDeviceStateD3).status, NDIS_STATUS_SUCCESS);
    EXPECT_EQ(upper->setU32(OID_PNP_SET_POWER, NdisDeviceStateD2).status, NDIS_STATUS_FAILURE);
    env.indicateStatus(*wired_, NDIS_STATUS_MEDIA_DISCONNECT);
    EXPECT_TRUE(upper->indications().empty());
    Drain(file);

    ASSERT_EQ(upper->setU32(OID_PNP_SET_POWER, NdisDeviceStateD0).status, NDIS_STATUS_SUCCESS);
    auto indications = upper->indications();
    ASSERT_EQ(indications.size(), 1u);
    EXPECT_EQ(indications[0].status, NDIS_STATUS_MEDIA_DISCONNECT);
    EXPECT_EQ(upper->statusCompleteCount(), 1u);
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(FiltGetU32(records[0].bytes.data() + C::STATUS_BODY, C::CMD_DATA), 0u);
    // The private query agrees with the record just sent.
    EXPECT_EQ(PortQuery(file, 1, 1), 0u);
}

TEST_F(BindingTest, PrivateOidAndStatusAvoidTheAdaptersOwnGuids) {
    auto guidEntry = [](uint8_t first, uint32_t value, uint32_t flags) {
        Bytes entry(16, first);
        if (first == 0) entry.assign(C::PRIVATE_GUID, C::PRIVATE_GUID + 16);
        return Cat({entry, U32(value), U32(4), U32(flags)});
    };
    auto& clash = AddAdapter({u"\\Device\\{A}", u"A", u"\\Device\\{VA}"});
    clash.setAnswer(OID_GEN_SUPPORTED_GUIDS,
                    Cat({guidEntry(0x11, 0xFF000001, 1), guidEntry(0x22, 0xFF000000, 1),
                         guidEntry(0x33, 0x60000000, 2)}));
    auto& serves = AddAdapter({u"\\Device\\{B}", u"B", u"\\Device\\{VB}"});
    serves.setAnswer(OID_GEN_SUPPORTED_GUIDS,
                     Cat({guidEntry(0, 0xFF000000, 1), guidEntry(0, 0x60000000, 2)}));
    auto& ragged = AddAdapter({u"\\Device\\{C}", u"C", u"\\Device\\{VC}"});
    ragged.setAnswer(OID_GEN_SUPPORTED_GUIDS, Bytes(30, 0));
    Load();
    auto& file = Open(2);

    struct Case {
        uint32_t adapterId;
        uint32_t listLength;
        uint32_t oid;
        uint32_t status;
    } cases[] = {{1, 5 * 28, 0xFF000002, 0x60000001},
                 {2, 2 * 28, 0xFF000000, 0x60000000},
                 {3, 2 * 28, 0xFF000000, 0x60000000}};
    for (const auto& c : cases) {
        Bytes out = Oid(file, OidRequest(c.adapterId, 0, OID_GEN_SUPPORTED_GUIDS), 24 + 28 * 8);
        ASSERT_EQ(FiltGetU32(out.data(), C::OID_BYTES_WRITTEN), c.listLength) << c.adapterId;
        const uint8_t* last = out.data() + 24 + c.listLength - 28;
        EXPECT_EQ(FiltGetU32(last, 16), c.status) << c.adapterId;
        EXPECT_EQ(FiltGetU32(last - 28, 16), c.oid) << c.adapterId;
        EXPECT_EQ(PrivateOidOf(file, c.adapterId), c.oid);
    }
    // Where the adapter serves the GUID itself, what the driver does not know goes down to it.
    serves.setAnswer(0xFF000000, Bytes{4, 0, 7, 0, 0, 0, 0, 0});
    uint32_t ndisStatus = 0;
    Bytes passed = Private(file, 2, false, Command(4, 0, 0), &ndisStatus, 8);
    EXPECT_EQ(ndisStatus, NDIS_STATUS_SUCCESS);
    ASSERT_GE(passed.size(), 8u);
    EXPECT_EQ(Bytes(passed.begin(), passed.begin() + 8), (Bytes{4, 0, 7, 0, 0, 0, 0, 0}));
    Private(file, 1, false, Command(4, 0, 0), &ndisStatus, 8);
    EXPECT_EQ(ndisStatus, NDIS_STATUS_NOT_SUPPORTED);

    Bytes shortQuery = Oid(file, OidRequest(1, 0, OID_GEN_SUPPORTED_GUIDS), 24 + 28);
    EXPECT_EQ(FiltGetU32(shortQuery.data(), C::OID_NDIS_STATUS), NDIS_STATUS_BUFFER_TOO_SHORT);
    EXPECT_EQ(FiltGetU32(shortQuery.data(), C::OID_BYTES_NEEDED), 5u * 28);
}

TEST_F(BindingTest, BindWithoutUpperBindingsFailsAndUnloadFreesEverything) {
    auto& lower = NdisEnvironment::instance().addLowerAdapter(u"\\Device\\{X}", u"X", NdisMedium802_3);
    SetValue(u"\\Device\\{X}", "BootControl", registry::REG_DWORD, U32(0));
    Load();
    EXPECT_NE(NdisEnvironment::instance().bindAdapter(lower), NDIS_STATUS_SUCCESS);
    EXPECT_FALSE(NdisEnvironment::instance().isBound(lower));

    auto& good = AddAdapter({u"\\Device\\{Y}", u"Y", u"\\Device\\{VY}"});
    base::failNext("NdisIMInitializeDeviceInstanceEx", NDIS_STATUS_RESOURCES, 1);
    auto& file = Open(6);
    Drain(file);
    EXPECT_EQ(NdisEnvironment::instance().bindAdapter(good), NDIS_STATUS_RESOURCES);
    EXPECT_FALSE(NdisEnvironment::instance().isBound(good));
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, C::EVENT_ADAPTER_REMOVAL);
    EXPECT_EQ(records[0].adapterId, 0u);
}

TEST_F(BindingTest, DriverEntryFailuresUnwind) {
    for (const char* call :
         {"NdisIMRegisterLayeredMiniport", "NdisRegisterProtocol", "NdisMRegisterDevice"}) {
        NdisEnvironment::instance().reset();
        base::failNext(call, NDIS_STATUS_RESOURCES, 1);
        EXPECT_EQ(DriverEntry(nullptr, nullptr), NDIS_STATUS_RESOURCES);
        EXPECT_FALSE(NdisEnvironment::instance().protocolRegistered());
        EXPECT_FALSE(NdisEnvironment::instance().miniportRegistered());
        EXPECT_FALSE(NdisEnvironment::instance().wrapperInitialized());
        EXPECT_EQ(NdisEnvironment::instance().controlDevice(), nullptr);
    }
}

}  // namespace

namespace {

class BindingLifeTest : public DriverFixture {};

TEST_F(BindingLifeTest, UnbindWhileTheMiniportIsStillStartingClosesTheAdapter) {
    auto& env = NdisEnvironment::instance();
    auto& lower = AddAdapter({u"\\Device\\{P}", u"P", u"\\Device\\{VP}"});
    Load();
    auto& file = Open(12);
    Drain(file);
    env.setDeferInitialization(true);
    ASSERT_EQ(env.unbindAdapter(lower), NDIS_STATUS_SUCCESS);
    ASSERT_EQ(env.bindAdapter(lower), NDIS_STATUS_SUCCESS);
    EXPECT_TRUE(env.isBound(lower));
    EXPECT_EQ(env.initializedMiniportCount(), 0u);
    ASSERT_EQ(env.unbindAdapter(lower), NDIS_STATUS_SUCCESS);
    EXPECT_FALSE(env.isBound(lower));
    EXPECT_EQ(env.runDeferredInitializations(), 0u);
    auto records = Drain(file);
    ASSERT_EQ(records.size(), 2u);  // the first binding's removal, then the unstarted one's
    EXPECT_EQ(records[0].adapterId, 1u);
    EXPECT_EQ(records[1].adapterId, 0u);
}

TEST_F(BindingLifeTest, DeferredStartAnnouncesTheAdapterWithMiniportAttributes) {
    auto& env = NdisEnvironment::instance();
    env.setDeferInitialization(true);
    AddAdapter({u"\\Device\\{D}", u"D", u"\\Device\\{VD}"});
    Load();
    auto& file = Open(13);
    auto before = Drain(file);
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before[0].type, FiltConstants::EVENT_LIST_END);
    ASSERT_EQ(env.runDeferredInitializations(), 1u);
    EXPECT_EQ(env.miniportAttributes(u"\\Device\\{VD}"), 0x73u);
    auto after = Drain(file);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].type, FiltConstants::EVENT_ADAPTER_ARRIVAL);
    EXPECT_EQ(after[0].sequence, 1u);
}

TEST_F(BindingLifeTest, OpenersRacingBindingsSeeEveryAdapterExactlyOnce) {
    constexpr int ADAPTERS = 12;
    for (int i = 0; i < ADAPTERS; ++i) {
        std::u16string id = u"{R" + std::u16string(1, char16_t(u'a' + i)) + u"}";
        AddAdapter({u"\\Device\\" + id, id, u"\\Device\\V" + id});
    }
    ASSERT_EQ(DriverEntry(nullptr, nullptr), STATUS_SUCCESS);
    loaded_ = true;
    std::atomic<bool> bound{false};
    std::thread binder([&bound] {
        NdisEnvironment::instance().bindAll();
        bound = true;
    });
    // New openers keep arriving for as long as bindings finish.
    for (uint32_t pid = 1; !bound && pid < 2000; ++pid) Open(pid);
    binder.join();
    Open(5000);
    for (auto& file : files_) {
        std::vector<int> seen(ADAPTERS + 1, 0);
        for (const auto& record : Drain(*file))
            if (record.type == FiltConstants::EVENT_ADAPTER_ARRIVAL) ++seen.at(record.adapterId);
        for (int id = 1; id <= ADAPTERS; ++id)
            EXPECT_EQ(seen[id], 1) << "opener " << file->processId() << " id " << id;
    }
}

}  // namespace
