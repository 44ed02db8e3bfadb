#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "runtime/lum/Log.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/multithread/MessageQueue.h"

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class MessageQueueTest : public RuntimeTest {
protected:
    // A queue without a thread: the test is its receiver.
    Reference makeQueue(int capacity) {
        return Reference(new MessageQueueImpl(capacity), Reference::TAKE_OVER);
    }
    static MessageQueueImpl* queueOf(const Reference& r) {
        return static_cast<MessageQueueImpl*>(static_cast<ReferenceImpl*>(r.m));
    }
};

}  // namespace

TEST_F(MessageQueueTest, LoadAboveHalfIsLoggedOnReceive) {
    struct Case {
        int capacity;
        int queued;
        bool logged;
    };
    const Case cases[] = {{100, 51, true}, {100, 50, false}, {10, 6, true}, {10, 5, false}, {1, 1, true}};
    setLogLevelMask(LogConstants::INITIAL_MASK | LogConstants::LEVEL_QUEUE_LOAD);
    for (const Case& c : cases) {
        // A debug line of its own.
        std::string line = "-7-DEBUG_MSG: %\\[tid=[0-9]+\\]: Max number of messages in queue = " +
                           std::to_string(c.capacity) +
                           "\\. Current number of messages in queue = " + std::to_string(c.queued) + "\n";
        Reference queue = makeQueue(c.capacity);
        int ran = 0, destroyed = 0;
        for (int i = 0; i < c.queued; ++i) {
            MessageEvent event(new CountedEventImpl(&ran, &destroyed));
            queueOf(queue)->post(event.event());
        }
        MessageEventProxy proxy = queueOf(queue)->receive();
        ASSERT_TRUE(proxy.exists());
        std::string text = readText(root.log());
        if (c.logged) {
            EXPECT_THAT(text, ContainsRegex(line)) << c.capacity << "/" << c.queued;
        } else {
            EXPECT_THAT(text, Not(ContainsRegex(line))) << c.capacity << "/" << c.queued;
        }
    }
}

TEST_F(MessageQueueTest, LoadLineNeedsItsMaskBit) {
    setLogLevelMask(LogConstants::INITIAL_MASK);
    Reference queue = makeQueue(2);
    int ran = 0, destroyed = 0;
    MessageEvent event(new CountedEventImpl(&ran, &destroyed));
    queueOf(queue)->post(event.event());
    queueOf(queue)->post(event.event());
    MessageEventProxy proxy = queueOf(queue)->receive();
    EXPECT_THAT(readText(root.log()), Not(HasSubstr("Max number of messages in queue")));
}

TEST_F(MessageQueueTest, ReceivedEventCarriesTheQueuesReference) {
    Reference queue = makeQueue(4);
    int ran = 0, destroyed = 0;
    {
        MessageEvent event(new CountedEventImpl(&ran, &destroyed));
        queueOf(queue)->post(event.event());
        EXPECT_EQ(event.event()->references(), 2);
    }
    EXPECT_EQ(destroyed, 0) << "the queue holds the event until it is received";
    {
        MessageEventProxy proxy = queueOf(queue)->receive();
        ASSERT_TRUE(proxy.exists());
        EXPECT_EQ(proxy.event()->references(), 1) << "the proxy takes the queue's reference over";
        proxy.event()->run();
    }
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(MessageQueueTest, TerminationComesAfterEveryEventPostedBeforeIt) {
    Reference queue = makeQueue(10);
    int ran = 0, destroyed = 0;
    MessageEvent before(new CountedEventImpl(&ran, &destroyed));
    MessageEvent after(new CountedEventImpl(&ran, &destroyed));
    for (int i = 0; i < 3; ++i) queueOf(queue)->post(before.event());
    queueOf(queue)->terminate();
    EXPECT_EQ(queueOf(queue)->state(), MessageQueueImpl::TerminationQueued);

    queueOf(queue)->post(after.event());
    EXPECT_EQ(after.event()->references(), 1) << "a post after terminate takes no reference";

    for (int i = 0; i < 3; ++i) {
        MessageEventProxy proxy = queueOf(queue)->receive();
        ASSERT_TRUE(proxy.exists());
        EXPECT_EQ(proxy.event(), before.event());
    }
    MessageEventProxy end = queueOf(queue)->receive();
    EXPECT_FALSE(end.exists());
    EXPECT_EQ(queueOf(queue)->state(), MessageQueueImpl::Terminated);
    // Nothing is queued any more, so a receive that waited would never return.
    MessageEventProxy again = queueOf(queue)->receive();
    EXPECT_FALSE(again.exists());
    EXPECT_EQ(before.event()->references(), 1);
}

TEST_F(MessageQueueTest, DestroyingAQueueReleasesTheEventsStillInIt) {
    int ran = 0, destroyed = 0;
    {
        Reference queue = makeQueue(10);
        for (int i = 0; i < 3; ++i) {
            MessageEvent event(new CountedEventImpl(&ran, &destroyed));
            queueOf(queue)->post(event.event());
        }
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(ran, 0);
}

TEST_F(MessageQueueTest, CapacityOutsideItsRangeIsAnAssertion) {
    Reference queue = makeQueue(MessageQueueImpl::MAX_SIZE + 1);
    EXPECT_EQ(takeAssertions(),
              std::vector<std::string>{"1 <= messageQueueSize && messageQueueSize <= 10000"});
}

// A full queue ends the process: the producers have outrun the engine, and going on would lose work.
class MessageQueueDeathTest : public MessageQueueTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "fast");
        MessageQueueTest::SetUp();
        logInfo(0, "start");  // the first line rotates; the child then appends to the same file
    }
};

TEST_F(MessageQueueDeathTest, FullQueueIsFatal) {
    struct Case {
        const char* name;
        void (*fill)(MessageQueueImpl* queue, MessageEventImpl* event);
        const char* fatal;
    };
    const Case cases[] = {
        {"the 101st event",
         [](MessageQueueImpl* q, MessageEventImpl* e) {
             for (int i = 0; i < 101; ++i) q->post(e);
         },
         "FATAL: Failed to queue a message\\."},
        {"termination behind 100 events",
         [](MessageQueueImpl* q, MessageEventImpl* e) {
             for (int i = 0; i < 100; ++i) q->post(e);
             q->terminate();
         },
         "FATAL: Failed to queue termination message\\."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reference queue = makeQueue(100);
        int ran = 0, destroyed = 0;
        MessageEvent event(new CountedEventImpl(&ran, &destroyed));
        EXPECT_DEATH(c.fill(queueOf(queue), event.event()), c.fatal);
    }
    std::string text = readText(root.log());
    EXPECT_THAT(text, HasSubstr("Error, the message queue is full.\n"));
    EXPECT_THAT(text, HasSubstr("Internal error 183, contact software manufacturer\n"));
}

TEST_F(MessageQueueTest, HundredEventsFit) {
    Reference queue = makeQueue(100);
    int ran = 0, destroyed = 0;
    MessageEvent event(new CountedEventImpl(&ran, &destroyed));
    for (int i = 0; i < 100; ++i) queueOf(queue)->post(event.event());
    EXPECT_EQ(event.event()->references(), 101);
}
