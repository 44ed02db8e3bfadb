#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "runtime/lum/Assert.h"
#include "runtime/lum/LumMain.h"
#include "runtime/multithread/RuntimeMutex.h"
#include "tests/runtime/lum/LumTestSupport.h"
#include "vel/reference/ElementVector.h"
#include "vel/reference/Proxy.h"
#include "vel/reference/Reference.h"
#include "vel/reference/ReferenceImpl.h"
#include "vel/reference/SafeInteger.h"

namespace {

std::vector<std::string> Assertions;
void recordAssertion(const char*, int, const char* expression) {
    Assertions.push_back(expression);
}

std::atomic<int> Deleted{0};

class Counted : public ReferenceImpl {
public:
    ~Counted() override { ++Deleted; }
};

class SubscriberInterface : public ElementInterface {
public:
    virtual void changed(int value) = 0;
};

// An object with a second interface: both share the one count.
class Subscriber : public ReferenceImpl, public SubscriberInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void changed(int value) override { last = value; }
    ~Subscriber() override { ++Deleted; }
    int last = 0;
};

class ReferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Assertions.clear();
        Deleted = 0;
        previous = setAssertionHandler(recordAssertion);
    }
    void TearDown() override { setAssertionHandler(previous); }

    TempRoot root;
    LumRuntime runtime;
    AssertionHandler previous = nullptr;
};

}  // namespace

TEST_F(ReferenceTest, CountStartsAtOneAndTheLastReleaseDeletes) {
    auto* object = new Counted;
    EXPECT_EQ(object->references(), 1);
    {
        Reference a(object, Reference::TAKE_OVER);
        Reference b = a;
        Reference c(object);
        EXPECT_EQ(object->references(), 3);
        c = Reference();
        EXPECT_EQ(object->references(), 2);
        Reference moved = std::move(b);
        EXPECT_TRUE(b.isNull());
        EXPECT_EQ(object->references(), 2);
        EXPECT_EQ(moved, a);
    }
    EXPECT_EQ(Deleted, 1);
    EXPECT_TRUE(Assertions.empty());
}

TEST_F(ReferenceTest, CountingUnderContentionLosesNothing) {
    auto* object = new Counted;
    Reference shared(object, Reference::TAKE_OVER);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&shared] {
            std::vector<Reference> held;
            for (int i = 0; i < 2000; ++i) {
                held.push_back(shared);
                if (held.size() > 16) held.erase(held.begin(), held.begin() + 8);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(object->references(), 1);
    EXPECT_EQ(Deleted, 0);
    shared.reset();
    EXPECT_EQ(Deleted, 1);
}

TEST_F(ReferenceTest, SecondaryInterfaceSharesTheObjectCount) {
    auto* subscriber = new Subscriber;
    SubscriberInterface* asInterface = subscriber;
    {
        Reference byInterface(asInterface);
        EXPECT_EQ(subscriber->references(), 2);
        asInterface->release2();
        asInterface->addRef();
        EXPECT_EQ(subscriber->references(), 2);
    }
    EXPECT_EQ(subscriber->references(), 1);
    asInterface->release();
    EXPECT_EQ(Deleted, 1);
}

TEST_F(ReferenceTest, ProxyMustBeTestedBeforeUse) {
    auto* object = new Counted;
    Reference held(object, Reference::TAKE_OVER);
    Proxy present(held);
    Proxy copy(present);
    EXPECT_EQ(copy.element(), object) << "an untested proxy still hands out the object";
    EXPECT_EQ(Assertions, std::vector<std::string>{"m_usable"});
    EXPECT_TRUE(present.exists());
    EXPECT_EQ(present.element(), object);
    Proxy empty;
    EXPECT_FALSE(empty.exists());
    EXPECT_EQ(empty.element(), nullptr);
    EXPECT_TRUE(empty.reference().isNull());
    EXPECT_EQ(Assertions.size(), 1u);
}

TEST_F(ReferenceTest, StaticHelpersTakeAndDropReferences) {
    auto* object = new Counted;
    ElementInterface* destination = nullptr;
    ElementInterface::copyReference(&destination, object);
    EXPECT_EQ(object->references(), 2);
    ElementInterface::copyReference(&destination, object);
    EXPECT_EQ(Assertions, std::vector<std::string>{"pDestination == null"});
    EXPECT_EQ(object->references(), 2) << "a full destination is left alone";
    ElementInterface* nullable = nullptr;
    ElementInterface::copyNullableReference(&nullable, nullptr);
    EXPECT_EQ(nullable, nullptr);
    ElementInterface::releaseIfSet(nullptr);
    ElementInterface::releaseReference(destination);
    ElementInterface::releaseReference(object);
    EXPECT_EQ(Deleted, 1);
}

TEST(SafeInteger, ArithmeticTurnsInvalidOnOverflow) {
    struct Case {
        SafeInteger value;
        bool valid;
        int32_t expected;
    } cases[] = {
        {SafeInteger(2147483647) + SafeInteger(1), false, 0},
        {SafeInteger(2147483646) + SafeInteger(1), true, 2147483647},
        {SafeInteger(0) - SafeInteger(5), true, -5},
        {SafeInteger(65536) * SafeInteger(32768), false, 0},
        {SafeInteger(46340) * SafeInteger(46340), true, 2147395600},
        {SafeInteger(-3), false, 0},
        {SafeInteger() + SafeInteger(1), false, 0},
        {SafeInteger(static_cast<const char*>(nullptr)), false, 0},
        {SafeInteger("abcd"), true, 4},
        {SafeInteger::fromDigit('7'), true, 7},
        {SafeInteger::fromDigit('x'), false, 0},
        {SafeInteger(int64_t{1} << 40), false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.value.valid(), c.valid);
        if (c.valid) {
            EXPECT_EQ(c.value.value(), c.expected);
        }
    }
    const char text[] = "0123456789";
    SafeInteger distance(text, text + 7);
    EXPECT_TRUE(distance.inRange(7, 7));
    EXPECT_EQ(distance.value(), 7);
}

TEST_F(ReferenceTest, SafeIntegerValueMustBeTestedFirst) {
    SafeInteger sum = SafeInteger(3) + SafeInteger(4);
    EXPECT_EQ(sum.value(), 7);
    EXPECT_EQ(Assertions, std::vector<std::string>{"m_valid && m_checked"});
    SafeInteger a(3);
    SafeInteger b(9);
    EXPECT_TRUE(a < b);
    EXPECT_EQ(a.value(), 3);
    EXPECT_EQ(b.value(), 9);
    EXPECT_FALSE(SafeInteger() < b);
    EXPECT_FALSE(a >= SafeInteger());
    EXPECT_FALSE(SafeInteger(11).inRange(0, 10));
    EXPECT_EQ(Assertions.size(), 1u);
}

TEST(ReferenceOutsideRunTime, CountingWithoutTheRunTimeEndsTheProcessClearly) {
    GTEST_FLAG_SET(death_test_style, "fast");
    TempRoot root;
    EXPECT_DEATH(
        {
            Counted object;
            object.addRef();
        },
        "FATAL: ReferenceMutex used outside the run-time's lifetime");
}

namespace {

// Found through a pointer that its destructor clears, as the engine's singletons are.
class Registered;
Registered* Current = nullptr;

Reference lookUpCurrent();

class Registered : public ReferenceImpl {
public:
    ~Registered() override {
        // Another thread looks the object up while it is being destroyed and the pointer is
        // still set; it must come back empty-handed.
        std::thread lookup([] { found = !lookUpCurrent().isNull(); });
        lookup.join();
        Current = nullptr;
    }
    static inline std::atomic<bool> found{false};
};

Reference lookUpCurrent() {
    RuntimeMutexLock lock(*ReferenceMutex);
    if (Current == nullptr || !Current->addRefUnlessDying()) return Reference();
    return Reference(static_cast<ReferenceImpl*>(Current), Reference::TAKE_OVER);
}

}  // namespace

TEST_F(ReferenceTest, ALookupNeverRevivesAnObjectBeingDestroyed) {
    Current = new Registered;
    Reference held = lookUpCurrent();
    EXPECT_EQ(static_cast<ReferenceImpl*>(Current)->references(), 2) << "a live object is found";
    held.reset();
    static_cast<ReferenceImpl*>(Current)->release();
    EXPECT_FALSE(Registered::found);
    EXPECT_EQ(Current, nullptr);
    EXPECT_TRUE(Assertions.empty());
}
