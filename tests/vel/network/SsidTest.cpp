#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "tests/vel/network/ScanEntries.h"
#include "vel/network/Association.h"
#include "vel/network/Ssid.h"

namespace {

using SsidTest = RuntimeTest;

std::vector<std::pair<int, int>> pairsOf(ElementVector modes) {
    std::vector<std::pair<int, int>> pairs;
    for (const Reference& element : modes.snapshot()) {
        Association association = Association::fromElement(element.m);
        pairs.emplace_back(association.getAssociationMode(), association.getEncryption());
    }
    return pairs;
}

TEST_F(SsidTest, KeepsEveryFieldAsCreatedWhateverTheCallerDoesLater) {
    ElementVector modes = ElementVector::create();
    for (auto [association, encryption] : {std::pair{8, 4}, std::pair{7, 4}, std::pair{9, 4}}) {
        modes.add(Association::create(association, encryption).m);
    }
    LocationCapabilities capabilities = LocationCapabilities::fromCapabilityWord(0x28);
    const char raw[] = {'l', 'a', 'b', '\0', 'x'};
    Ssid ssid = Ssid::create(Ascii(raw, 5), bssid(0x5f), 1, modes, 0x31, 11, -67, 23, 0x9c, capabilities);

    modes.add(Association::create(1, 1).m);
    capabilities.setFlag(1, 0);

    EXPECT_EQ(ssid.getSsid(), Ascii(raw, 5)) << "the bytes as scanned, an inner zero included";
    EXPECT_EQ(ssid.getBssid(), bssid(0x5f));
    EXPECT_EQ(ssid.getEntryFlag(), 1);
    EXPECT_EQ(pairsOf(ssid.getAssociationAndEncryptionModes()),
              (std::vector<std::pair<int, int>>{{8, 4}, {7, 4}, {9, 4}}));
    EXPECT_EQ(ssid.getFlags(), 0x31);
    EXPECT_EQ(ssid.getChannel(), 11);
    EXPECT_EQ(ssid.getSignalStrengthInDbm(), -67);
    EXPECT_EQ(ssid.getSnr(), 23);
    EXPECT_EQ(ssid.getEntryValue(), 0x9c);
    EXPECT_EQ(ssid.getLocationCapabilities(), LocationCapabilities::fromCapabilityWord(0x28));
}

TEST_F(SsidTest, SsidLongerThanARadioSendsIsCutAndABadBssidIsABrokenInvariant) {
    const std::string longName(40, 'n');
    Ssid ssid = Ssid::create(Ascii(longName.c_str()), ByteArray("\x01\x02\x03", 3), 0,
                             ElementVector::create(), 0, 1, -50, 0, 0, LocationCapabilities());
    EXPECT_EQ(ssid.getSsid(), Ascii(longName.c_str(), 32));
    EXPECT_EQ(takeAssertions(), (std::vector<std::string>{"ssid.length() <= SsidImpl::MAX_SSID_LENGTH",
                                                          "bssid.length() == BSSID_LENGTH"}));
}

TEST_F(SsidTest, EmptyHandleAssertsOnEveryRead) {
    Ssid none;
    EXPECT_EQ(none.getSsid().length(), 0);
    EXPECT_EQ(none.getBssid().length(), 0);
    EXPECT_EQ(none.getChannel(), 0);
    EXPECT_EQ(none.getSignalStrengthInDbm(), 0);
    EXPECT_EQ(none.getSnr(), 0);
    EXPECT_EQ(none.getAssociationAndEncryptionModes().length(), 0);
    EXPECT_EQ(none.getLocationCapabilities(), LocationCapabilities());
    EXPECT_EQ(takeAssertions(), std::vector<std::string>(7, "m"));
}

TEST_F(SsidTest, ProxyMustBeTestedAndReplacesWhatItHeld) {
    Ssid first = scanEntry("one", bssid(1), 1);
    Ssid second = scanEntry("two", bssid(2), 6);
    SsidProxy proxy;
    proxy = first;
    EXPECT_EQ(first.impl()->references(), 2);
    EXPECT_EQ(proxy.ssid(), first) << "still handed out, but only after the assertion";
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"m_usable"});

    proxy = second;
    EXPECT_EQ(first.impl()->references(), 1) << "the old entry is released once";
    ASSERT_TRUE(proxy.exists());
    EXPECT_EQ(proxy.ssid(), second);

    proxy = Ssid();
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"ssid.m"});
}

}  // namespace
