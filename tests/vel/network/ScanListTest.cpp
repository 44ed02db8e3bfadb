#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/vel/multithread/QueueTestSupport.h"
#include "tests/vel/network/ScanEntries.h"
#include "vel/multithread/EventQueue.h"
#include "vel/network/ScanList.h"

namespace {

class ScanListTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        m_list = ScanList::create();
    }
    void TearDown() override {
        m_list.reset();
        EXPECT_EQ(ScanListImpl::Singleton, nullptr) << "the last handle ends the singleton";
        RuntimeTest::TearDown();
    }

    std::vector<int> channels() {
        std::vector<int> result;
        for (const Ssid& entry : list().entries()) result.push_back(entry.getChannel());
        return result;
    }

    ScanList& list() { return *m_list; }

    // Empty until SetUp: a default-constructed handle would bind to a list that does not exist yet.
    std::optional<ScanList> m_list;
};

TEST_F(ScanListTest, FindOnAnEmptyListGivesAnEmptyProxyWhoseUseFails) {
    SsidProxy found = list().find("home", bssid(1));
    EXPECT_TRUE(found.ssid().isNull());
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"m_usable"});
    EXPECT_FALSE(found.exists());
}

TEST_F(ScanListTest, FindMatchesSsidAndBssidByteForByteAndTheLastMatchWins) {
    const char homeWithZero[] = {'h', 'o', 'm', 'e', '\0'};
    const std::uint8_t longBssid[7] = {0x00, 0x1b, 0x2c, 0x3d, 0x4e, 0x01, 0x00};
    list().setScanList(listOf({
        scanEntry("home", bssid(1), 1),
        scanEntry("home", bssid(2), 6),
        scanEntry("office", bssid(1), 11),
        scanEntry("home", bssid(1), 36),
        scanEntry(Ascii(homeWithZero, 5), bssid(1), 40),
        scanEntry("", bssid(3), 3),
    }));

    struct Lookup {
        const char* name;
        Ascii ssid;
        ByteArray bssid;
        int channel;  // 0: none found
    };
    const Lookup lookups[] = {
        {"same SSID and BSSID twice: the later", "home", bssid(1), 36},
        {"same SSID, other BSSID", "home", bssid(2), 6},
        {"SSID known, BSSID of another network", "office", bssid(2), 0},
        {"case differs", "Home", bssid(1), 0},
        {"BSSID one byte short", "home", ByteArray(bssid(1).bytes(), 5), 0},
        {"BSSID one byte long", "home", ByteArray(longBssid, 7), 0},
        {"SSID with a trailing zero byte is another SSID", Ascii(homeWithZero, 5), bssid(1), 40},
        {"hidden network", "", bssid(3), 3},
    };
    for (const Lookup& lookup : lookups) {
        SsidProxy found = list().find(lookup.ssid, lookup.bssid);
        int channel = found.exists() ? found.ssid().getChannel() : 0;
        EXPECT_EQ(channel, lookup.channel) << lookup.name;
    }
}

TEST_F(ScanListTest, SetScanListReplacesTheWholeListAndAnEmptyOneEmptiesIt) {
    list().setScanList(listOf({scanEntry("a", bssid(1), 1), scanEntry("b", bssid(2), 2)}));
    EXPECT_EQ(channels(), (std::vector<int>{1, 2}));

    ElementVector next = listOf({scanEntry("c", bssid(3), 3)});
    list().setScanList(next);
    next.add(scanEntry("d", bssid(4), 4).m);
    EXPECT_EQ(channels(), (std::vector<int>{3})) << "the caller's vector is not the list";
    EXPECT_FALSE(list().find("a", bssid(1)).exists());

    list().setScanList(ElementVector::create());
    EXPECT_TRUE(channels().empty());
    EXPECT_FALSE(list().find("c", bssid(3)).exists());

    list().setScanList(listOf({scanEntry("a", bssid(1), 1)}));
    list().clear();
    EXPECT_TRUE(channels().empty());
}

TEST_F(ScanListTest, OneSingletonBoundByEveryHandle) {
    ScanList bound;
    bound.setScanList(listOf({scanEntry("a", bssid(1), 1)}));
    EXPECT_EQ(channels(), (std::vector<int>{1})) << "a bound handle reaches the created list";

    ScanList second = ScanList::create();
    EXPECT_EQ(takeAssertions(), std::vector<std::string>{"Singleton == null"});
    EXPECT_EQ(second, list());
}

TEST_F(ScanListTest, BindingWithoutASingletonIsABrokenInvariant) {
    m_list.reset();
    ScanList unbound;
    EXPECT_TRUE(unbound.isNull());
    EXPECT_FALSE(unbound.find("a", bssid(1)).exists());
    EXPECT_EQ(takeAssertions(), (std::vector<std::string>{"Singleton != null", "m"}));

    m_list = ScanList::create();
    EXPECT_FALSE(list().isNull()) << "a new service start makes a new list";
}

// A port manager replaces the list on the engine thread's timer while another thread reads it.
// Each list written is one generation: every entry carries the generation as its channel and the
// duplicated entry's later copy carries a marker, so a reader catching a half-written list or the
// earlier duplicate notices.
TEST_F(ScanListTest, ReadersOnTheEngineThreadSeeWholeListsWhileAnotherThreadWrites) {
    constexpr int GENERATIONS = 1000;
    constexpr int ENTRIES = 6;
    constexpr int LATER = 99;
    auto* initializer = new RecordingInitializerImpl;
    EventQueue queue = EventQueue::Create(initializer);

    std::atomic<bool> writing{true};
    std::atomic<int> torn{0}, earlierDuplicate{0}, reads{0};
    Flag readerDone;
    queue.post(functionEvent([&] {
        ScanList reader;
        bool last = false;
        while (!last) {
            last = !writing;
            std::vector<Ssid> entries = reader.entries();
            if (!entries.empty()) {
                int generation = entries.front().getChannel();
                bool whole = entries.size() == ENTRIES;
                for (const Ssid& entry : entries) whole = whole && entry.getChannel() == generation;
                if (!whole) ++torn;
            }
            SsidProxy duplicate = reader.find("dup", bssid(9));
            if (duplicate.exists() && duplicate.ssid().getSnr() != LATER) ++earlierDuplicate;
            ++reads;
        }
        readerDone.raise();
    }));

    std::thread writer([&] {
        ScanList writerList;
        for (int generation = 1; generation <= GENERATIONS; ++generation) {
            if (generation % 10 == 5) {
                writerList.clear();
                continue;
            }
            ElementVector entries = ElementVector::create();
            entries.add(scanEntry("dup", bssid(9), generation, 1).m);
            for (int i = 1; i < ENTRIES - 1; ++i) entries.add(scanEntry("net", bssid(i), generation).m);
            entries.add(scanEntry("dup", bssid(9), generation, LATER).m);
            writerList.setScanList(entries);
        }
        writing = false;
    });
    writer.join();
    EXPECT_TRUE(readerDone.wait());
    queue.stop();
    queue.reset();
    initializer->release();

    EXPECT_EQ(torn, 0);
    EXPECT_EQ(earlierDuplicate, 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(channels().size(), size_t{ENTRIES}) << "the last generation written stays";
}

}  // namespace
