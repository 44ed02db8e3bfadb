#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "vel/configuration/NetworkSubscriberInterface.h"
#include "vel/network/Network.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tamsel::test {
namespace {

const char* const MEDIA_ASSERTION = "network.getMediaType() < AdapterConstants::MEDIA_TYPE_COUNT";

class NetworkTest : public ConfigurationTest {};

// Records the access states it is told and can leave the network's list while being told.
class AccessRecorderImpl : public ReferenceImpl, public NetworkSubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS

    explicit AccessRecorderImpl(std::string name, std::vector<std::string>& journal)
        : m_name(std::move(name)), m_journal(journal) {}

    void networkAccessStateChanged(std::int32_t accessState, const Network& network) override {
        m_journal.push_back(m_name + " " + std::to_string(accessState) + " " + network.name().text());
        if (leaveWhenTold) network.removeSubscriber(this);
    }
    void networkStateChanged(std::int32_t adapterState, const VelAdapter&, const Network&) override {
        m_journal.push_back(m_name + " adapter " + std::to_string(adapterState));
    }
    void networkCredentialRequest(const Network&, const ElementVector&, std::int32_t, std::int32_t,
                                  std::int32_t, const Ascii&) override {}
    void changePasswordResult(std::int32_t, std::int32_t) override {}

    bool leaveWhenTold = false;

private:
    std::string m_name;
    std::vector<std::string>& m_journal;
};

TEST_F(NetworkTest, AFreshNetworkHasNoMediaTypeUntilAReaderSetsIt) {
    Network network = Network::create("Office");
    const std::vector<std::pair<const char*, std::function<void()>>> marked = {
        {"getMediaType", [&] { EXPECT_EQ(network.getMediaType(), 4); }},
        {"getSsid", [&] { network.getSsid(); }},
        {"setSsid", [&] { network.setSsid(ByteArray("office")); }},
        {"getAssociationMode", [&] { network.getAssociationMode(); }},
        {"setAssociationMode", [&] { network.setAssociationMode(8); }},
        {"getEncryption", [&] { network.getEncryption(); }},
        {"setEncryption", [&] { network.setEncryption(4); }},
        {"getConnectionTimeout", [&] { network.getConnectionTimeout(); }},
        {"setConnectionTimeout", [&] { network.setConnectionTimeout(9); }},
        {"getAssociationTimeout", [&] { network.getAssociationTimeout(); }},
        {"setAssociationTimeout", [&] { network.setAssociationTimeout(9); }},
        {"getFurtherFlag1", [&] { network.getFurtherFlag1(); }},
        {"setFurtherNumber2", [&] { network.setFurtherNumber2(1); }},
    };
    for (const auto& [name, call] : marked) {
        call();
        EXPECT_THAT(takeAssertions(), ElementsAre(MEDIA_ASSERTION)) << name;
    }
    // Unmarked settings need no media type.
    network.setGlobal(true);
    network.setConnectionTypes(3);
    network.setOrigin(1);
    EXPECT_TRUE(network.isGlobal());
    EXPECT_EQ(network.getConnectionTypes(), 3);
    EXPECT_THAT(takeAssertions(), IsEmpty());

    network.setMediaType(AdapterConstants::MEDIA_TYPE_80211);
    EXPECT_EQ(network.getNetworkMedia(), 2) << "media type and network media go together";
    network.setNetworkMedia(1);
    EXPECT_EQ(network.getMediaType(), AdapterConstants::MEDIA_TYPE_8023);

    Network fresh = makeNetwork("fresh");
    EXPECT_EQ(fresh.getEncryption(), 1);
    EXPECT_EQ(fresh.getAssociationMode(), 0);
    EXPECT_EQ(std::vector<int>({fresh.getFurtherFlag1(), fresh.getFurtherNumber1(), fresh.getFurtherFlag2(),
                                fresh.getFurtherNumber2()}),
              std::vector<int>({0, 30, 1, 0}));
    network.setMediaType(3);
    EXPECT_THAT(takeAssertions(), ElementsAre("mediaType < AdapterConstants::MEDIA_TYPE_COUNT"));
    EXPECT_EQ(network.getMediaType(), AdapterConstants::MEDIA_TYPE_8023);
}

TEST_F(NetworkTest, TimeoutsComeFromTheServiceWideDefaults) {
    Network before = makeNetwork("before");
    EXPECT_EQ(before.getConnectionTimeout(), 40);
    EXPECT_EQ(before.getAssociationTimeout(), 3);

    Network::setDefaultConnectionTimeout(60);
    Network::setDefaultAssociationTimeout(0);  // a file without the value keeps the default
    Network after = makeNetwork("after");
    EXPECT_EQ(after.getConnectionTimeout(), 60);
    EXPECT_EQ(after.getAssociationTimeout(), 3);
    EXPECT_EQ(before.getConnectionTimeout(), 40) << "a network keeps what it was created with";
    Network::setDefaultAssociationTimeout(12);
    EXPECT_EQ(makeNetwork("later").getAssociationTimeout(), 12);

    Network::setDefaultConnectionTimeout(NetworkImpl::INITIAL_DEFAULT_CONNECTION_TIMEOUT);
    Network::setDefaultAssociationTimeout(NetworkImpl::INITIAL_DEFAULT_ASSOCIATION_TIMEOUT);
}

TEST_F(NetworkTest, AccessStatesReachEveryFollowerEvenWhenOneLeaves) {
    std::vector<std::string> journal;
    auto* leaving = new AccessRecorderImpl("leaving", journal);
    auto* staying = new AccessRecorderImpl("staying", journal);
    leaving->leaveWhenTold = true;
    Network network = makeNetwork("Office");
    network.addSubscriber(leaving);
    network.addSubscriber(staying);
    network.addSubscriber(staying);
    EXPECT_TRUE(network.hasSubscriber(leaving));

    network.impl()->notifyAccessState(3);
    // The list is read again after each call: the one that moved up is told too.
    EXPECT_THAT(journal, ElementsAre("leaving 3 Office", "staying 3 Office"));
    EXPECT_FALSE(network.hasSubscriber(leaving));
    journal.clear();
    alignas(8) static const unsigned char someAdapter[16] = {};
    network.impl()->notifyAdapterState(9, *reinterpret_cast<const VelAdapter*>(someAdapter));
    EXPECT_THAT(journal, ElementsAre("staying adapter 9"));

    network.impl()->clearReferences();
    EXPECT_FALSE(network.hasSubscriber(staying));
    leaving->ReferenceImpl::release();
    staying->ReferenceImpl::release();
}

TEST_F(NetworkTest, IdleBehaviourKeepsAStartedFlag) {
    networks.reset();
    Network network = makeNetwork("Office");
    EXPECT_FALSE(network.isStarted());
    network.start();
    network.accessChanged();
    network.disconnect();
    EXPECT_TRUE(network.isStarted());
    network.stop();
    EXPECT_FALSE(network.isStarted());
}

TEST_F(NetworkTest, Proxy) {
    Network network = makeNetwork("Office");
    NetworkProxy proxy;
    EXPECT_FALSE(proxy.exists());
    proxy.setNetwork(network);
    EXPECT_EQ(proxy.network(), network) << "usable at once";
    NetworkProxy copy = proxy;
    copy.network();
    EXPECT_THAT(takeAssertions(), ElementsAre("m_usable"));
    proxy.clear();
    ASSERT_FALSE(proxy.exists());
    proxy.network();
    EXPECT_THAT(takeAssertions(), ElementsAre("m_pNetwork"));
}

}  // namespace
}  // namespace tamsel::test
