#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMain.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "tests/runtime/lum/LumTestSupport.h"
#include "vel/reference/ElementVector.h"

namespace {

std::vector<std::string> Assertions;
void recordAssertion(const char*, int, const char* expression) {
    Assertions.push_back(expression);
}

int Deleted = 0;

// A list member that may hold a reference to another member, making a cycle.
class Node : public ReferenceImpl {
public:
    explicit Node(int id) : id(id) {}
    ~Node() override { ++Deleted; }
    void clearReferences() override { partner.reset(); }
    int id;
    Reference partner;
};

class ElementVectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Assertions.clear();
        Deleted = 0;
        previous = setAssertionHandler(recordAssertion);
    }
    void TearDown() override { setAssertionHandler(previous); }

    std::vector<int> ids(ElementVector& list) {
        std::vector<int> out;
        list.forEach([&out](ElementInterface* e) {
            out.push_back(static_cast<Node*>(static_cast<ReferenceImpl*>(e))->id);
        });
        return out;
    }

    TempRoot root;
    LumRuntime runtime;
    AssertionHandler previous = nullptr;
};

Node* node(Reference& r) {
    return static_cast<Node*>(static_cast<ReferenceImpl*>(r.m));
}

}  // namespace

TEST_F(ElementVectorTest, AddIfAbsentAddsOnceAndKeepsTheCount) {
    ElementVector list = ElementVector::create();
    Reference a(new Node(1), Reference::TAKE_OVER);
    EXPECT_EQ(list.addIfAbsent(a.m), ElementVector::ADDED);
    EXPECT_EQ(node(a)->references(), 2);
    EXPECT_EQ(list.addIfAbsent(a.m), 0);
    EXPECT_EQ(node(a)->references(), 2);
    EXPECT_EQ(list.length(), 1);
}

TEST_F(ElementVectorTest, InsertRemoveAndGetKeepTheOrder) {
    ElementVector list = ElementVector::create();
    std::vector<Reference> nodes;
    for (int i = 0; i < 5; ++i) nodes.emplace_back(new Node(i), Reference::TAKE_OVER);
    for (int i : {0, 2, 4}) list.add(nodes[i].m);
    EXPECT_EQ(list.insertIfAbsent(nodes[1].m, 1), ElementVector::ADDED);
    EXPECT_EQ(list.insertIfAbsent(nodes[3].m, 3), ElementVector::ADDED);
    EXPECT_EQ(list.insertIfAbsent(nodes[3].m, 0), 0);
    EXPECT_EQ(ids(list), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(list.remove(nodes[2].m), 1);
    EXPECT_EQ(list.remove(nodes[2].m), 0);
    list.removeAt(0);
    EXPECT_EQ(ids(list), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(list.get(2), nodes[4].m);
    Reference held = list.getAt(1);
    EXPECT_EQ(held, nodes[3]);
    EXPECT_EQ(node(nodes[3])->references(), 3);
    EXPECT_TRUE(Assertions.empty());
}

TEST_F(ElementVectorTest, IndexOutsideTheListIsAnAssertionAndTouchesNothing) {
    ElementVector list = ElementVector::create();
    Reference a(new Node(1), Reference::TAKE_OVER);
    EXPECT_EQ(list.remove(a.m), 0) << "removing from an empty list";
    list.removeAt(0);
    EXPECT_EQ(list.get(-1), nullptr);
    list.add(a.m);
    EXPECT_EQ(list.get(1), nullptr);
    list.removeAt(5);
    EXPECT_EQ(Assertions.size(), 4u);
    for (const std::string& a : Assertions) EXPECT_EQ(a, "0 <= index && index < m_length");
    EXPECT_EQ(list.length(), 1);
}

TEST_F(ElementVectorTest, GrowsPastTheFirstTenSlots) {
    ElementVector list = ElementVector::create();
    std::vector<Reference> nodes;
    for (int i = 0; i < 45; ++i) {
        nodes.emplace_back(new Node(i), Reference::TAKE_OVER);
        list.add(nodes.back().m);
    }
    std::vector<int> expected(45);
    for (int i = 0; i < 45; ++i) expected[i] = i;
    EXPECT_EQ(ids(list), expected);
    list.clear();
    EXPECT_EQ(list.length(), 0);
    for (Reference& r : nodes) EXPECT_EQ(node(r)->references(), 1);
}

TEST_F(ElementVectorTest, DestroyAllBreaksCyclesBetweenElements) {
    ElementVector list = ElementVector::create();
    {
        Reference a(new Node(1), Reference::TAKE_OVER);
        Reference b(new Node(2), Reference::TAKE_OVER);
        node(a)->partner = b;
        node(b)->partner = a;
        list.add(a.m);
        list.add(b.m);
    }
    EXPECT_EQ(Deleted, 0) << "the cycle keeps both alive";
    list.destroyAll();
    EXPECT_EQ(Deleted, 2);
    EXPECT_EQ(list.length(), 0);
}

TEST_F(ElementVectorTest, NotificationMayRemoveAndAddDuringTheWalk) {
    ElementVector list = ElementVector::create();
    std::vector<Reference> nodes;
    for (int i = 0; i < 4; ++i) {
        nodes.emplace_back(new Node(i), Reference::TAKE_OVER);
        list.add(nodes.back().m);
    }
    Reference late(new Node(9), Reference::TAKE_OVER);
    std::vector<int> called;
    list.forEach([&](ElementInterface* e) {
        int id = static_cast<Node*>(static_cast<ReferenceImpl*>(e))->id;
        called.push_back(id);
        if (id == 0) {
            list.remove(e);
            list.remove(nodes[2].m);
            list.addIfAbsent(late.m);
        }
    });
    EXPECT_EQ(called, (std::vector<int>{0, 1, 2, 3})) << "the walk covers the list as it was";
    EXPECT_EQ(ids(list), (std::vector<int>{1, 3, 9}));
}

TEST_F(ElementVectorTest, ConcurrentSubscribersEndConsistent) {
    ElementVector list = ElementVector::create();
    std::vector<Reference> nodes;
    for (int i = 0; i < 16; ++i) nodes.emplace_back(new Node(i), Reference::TAKE_OVER);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                for (int i = t * 4; i < t * 4 + 4; ++i) list.addIfAbsent(nodes[i].m);
                int seen = 0;
                list.forEach([&seen](ElementInterface*) { ++seen; });
                EXPECT_GE(seen, 4);
                for (int i = t * 4; i < t * 4 + 2; ++i) list.remove(nodes[i].m);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(list.length(), 8);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(node(nodes[i])->references(), i % 4 < 2 ? 1 : 2) << i;
}

namespace {

// Its destructor needs another thread to take the reference lock, as a destructor that stops a
// thread of its own does; under the lock it would wait for ever.
class NeedsTheLockToDie : public ReferenceImpl {
public:
    ~NeedsTheLockToDie() override {
        auto taken = std::make_shared<std::promise<void>>();
        std::future<void> done = taken->get_future();
        Helpers.emplace_back([taken] {
            RuntimeMutexLock lock(*ReferenceMutex);
            taken->set_value();
        });
        DiedOutsideTheLock.push_back(done.wait_for(std::chrono::seconds(5)) == std::future_status::ready);
    }
    static inline std::vector<bool> DiedOutsideTheLock;
    static inline std::vector<std::thread> Helpers;
};

}  // namespace

TEST_F(ElementVectorTest, ElementsHeldOnlyByTheListAreDestroyedOutsideTheLock) {
    struct Case {
        const char* name;
        std::function<void(ElementVector&)> empty;
    };
    const std::vector<Case> cases = {
        {"clear", [](ElementVector& list) { list.clear(); }},
        {"the list's own end", [](ElementVector& list) { list.reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NeedsTheLockToDie::DiedOutsideTheLock.clear();
        ElementVector list = ElementVector::create();
        for (int i = 0; i < 3; ++i) {
            Reference element(new NeedsTheLockToDie, Reference::TAKE_OVER);
            list.add(element.m);
        }
        c.empty(list);
        for (std::thread& t : NeedsTheLockToDie::Helpers) t.join();
        NeedsTheLockToDie::Helpers.clear();
        EXPECT_EQ(NeedsTheLockToDie::DiedOutsideTheLock, std::vector<bool>(3, true));
    }
    EXPECT_TRUE(Assertions.empty());
}
