#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/os/OsTestSupport.h"

using namespace ostest;

namespace {

using std::chrono::milliseconds;

class MsgQTest : public ContextTest {
protected:
    OsMsgQ* queue = nullptr;

    void make(int capacity, int maxSize) {
        open(makeConfig());
        ASSERT_EQ(OS_OK, _osMsgQCreate(__FILE__, __LINE__, &queue, capacity, maxSize, ctx));
    }
    void TearDown() override {
        EXPECT_EQ(OS_OK, _osMsgQDestroy(__FILE__, __LINE__, &queue));
        EXPECT_EQ(nullptr, queue);
        ContextTest::TearDown();
    }
    int send(const std::string& text, int wait = 0) {
        OsMsgQPiece piece{const_cast<char*>(text.data()), static_cast<int32_t>(text.size())};
        return _osMsgQSendV(__FILE__, __LINE__, queue, &piece, 1, wait);
    }
    int count() {
        int n = -1;
        EXPECT_EQ(OS_OK, osMsgQCount(queue, &n));
        return n;
    }
    std::string receive(int maxSize, int wait = 0, int* result = nullptr) {
        std::string buffer(static_cast<size_t>(maxSize), '\0');
        OsMsgQPiece piece{buffer.data(), maxSize};
        int pieces = 1;
        int r = _osMsgQRecvV(__FILE__, __LINE__, queue, &piece, &pieces, wait);
        if (result != nullptr) *result = r;
        if (r != OS_OK) return "<" + std::to_string(r) + ">";
        return buffer.substr(0, pieces == 0 ? 0 : static_cast<size_t>(piece.length));
    }
};

TEST_F(MsgQTest, FullQueueRefusesWithoutWaitAndBlocksWithWaitUntilAReceive) {
    make(1, 8);
    ASSERT_EQ(OS_OK, send("one"));
    EXPECT_EQ(OS_ERR_WOULD_BLOCK, send("two"));
    EXPECT_EQ(1, count());

    Latch latch;
    bool sent = false;
    std::thread sender([&] {
        EXPECT_EQ(OS_OK, send("three", 1));
        latch.update([&] { sent = true; });
    });
    EXPECT_FALSE(latch.waitFor([&] { return sent; }, milliseconds(100)));
    EXPECT_EQ("one", receive(8));
    EXPECT_TRUE(latch.waitFor([&] { return sent; }, DEADLINE));
    sender.join();
    EXPECT_EQ("three", receive(8));
    int r = 0;
    receive(8, 0, &r);
    EXPECT_EQ(OS_ERR_WOULD_BLOCK, r);
}

TEST_F(MsgQTest, SizeRulesOfSendAndReceive) {
    make(4, 4);
    EXPECT_EQ(OS_ERR_MESSAGE_TOO_BIG, send("12345"));
    EXPECT_EQ(0, count());
    ASSERT_EQ(OS_OK, send("ab"));
    int r = 0;
    receive(3, 0, &r);
    EXPECT_EQ(OS_ERR_BUFFER_TOO_SMALL, r) << "judged against the queue's maximum, not the waiting message";
    EXPECT_EQ(1, count()) << "a refused receive leaves the message queued";
    EXPECT_EQ("ab", receive(4));
    ASSERT_EQ(OS_OK, send(""));
    EXPECT_EQ("", receive(4)) << "empty messages are messages";
}

TEST_F(MsgQTest, PiecesAreGatheredOnSendAndScatteredOnReceive) {
    make(2, 8);
    char a[] = "ab", b[] = "cde", c[] = "f";
    OsMsgQPiece out[] = {{a, 2}, {b, 3}, {c, 1}};
    ASSERT_EQ(OS_OK, _osMsgQSendV(__FILE__, __LINE__, queue, out, 3, 0));

    char first[4] = {}, second[4] = {}, third[4] = {};
    OsMsgQPiece in[] = {{first, 4}, {second, 4}, {third, 4}};
    int pieces = 3;
    ASSERT_EQ(OS_OK, _osMsgQRecvV(__FILE__, __LINE__, queue, in, &pieces, 0));
    EXPECT_EQ(2, pieces);
    EXPECT_EQ(4, in[0].length);
    EXPECT_EQ(2, in[1].length) << "the last piece used is cut to what remained";
    EXPECT_EQ(4, in[2].length) << "unused pieces are left alone";
    EXPECT_EQ(0, std::memcmp(first, "abcd", 4));
    EXPECT_EQ(0, std::memcmp(second, "ef", 2));
}

TEST_F(MsgQTest, ReceiveWithoutPiecesDropsTheOldestMessage) {
    make(3, 4);
    ASSERT_EQ(OS_OK, send("old"));
    ASSERT_EQ(OS_OK, send("new"));
    int pieces = 0;
    ASSERT_EQ(OS_OK, _osMsgQRecvV(__FILE__, __LINE__, queue, nullptr, &pieces, 0));
    pieces = 1;
    EXPECT_EQ(OS_ERR_FAILED, _osMsgQRecvV(__FILE__, __LINE__, queue, nullptr, &pieces, 0));
    EXPECT_EQ(0, pieces) << "a failure reports no pieces";
    EXPECT_EQ("new", receive(4));
}

struct BadPieceCase {
    const char* name;
    bool nullBase;
    int32_t length;
    int pieceCount;
    int sendResult;
    int recvResult;
};

const BadPieceCase BAD_PIECES[] = {
    {"null base", true, 4, 1, OS_ERR_FAILED, OS_ERR_FAILED},
    {"negative length", false, -1, 1, OS_ERR_FAILED, OS_ERR_FAILED},
    {"no pieces", false, 4, 0, OS_ERR_ARGUMENT, OS_ERR_BUFFER_TOO_SMALL},
    {"negative count", false, 4, -1, OS_ERR_ARGUMENT, OS_ERR_FAILED},
};

TEST_F(MsgQTest, BadPieceListsAreRefused) {
    make(2, 4);
    ASSERT_EQ(OS_OK, send("keep"));
    char buffer[4];
    for (const BadPieceCase& c : BAD_PIECES) {
        SCOPED_TRACE(c.name);
        OsMsgQPiece piece{c.nullBase ? nullptr : buffer, c.length};
        EXPECT_EQ(c.sendResult, _osMsgQSendV(__FILE__, __LINE__, queue, &piece, c.pieceCount, 0));
        int pieces = c.pieceCount;
        EXPECT_EQ(c.recvResult, _osMsgQRecvV(__FILE__, __LINE__, queue, &piece, &pieces, 0));
        EXPECT_EQ(0, pieces);
        EXPECT_EQ(1, count());
    }
}

TEST_F(MsgQTest, ManySendersAndReceiversOnATinyQueueDeliverEveryMessageOnce) {
    make(2, 8);
    constexpr int SENDERS = 3;
    constexpr int RECEIVERS = 3;
    constexpr int PER_SENDER = 2000;
    std::vector<std::thread> threads;
    std::vector<std::vector<int>> got(RECEIVERS);
    for (int s = 0; s < SENDERS; ++s) {
        threads.emplace_back([&, s] {
            for (int i = 0; i < PER_SENDER; ++i) {
                int value = s * PER_SENDER + i;
                OsMsgQPiece piece{&value, sizeof value};
                ASSERT_EQ(OS_OK, _osMsgQSendV(__FILE__, __LINE__, queue, &piece, 1, 1));
            }
        });
    }
    for (int r = 0; r < RECEIVERS; ++r) {
        threads.emplace_back([&, r] {
            for (;;) {
                int value[2] = {};
                OsMsgQPiece piece{value, sizeof value};
                int pieces = 1;
                ASSERT_EQ(OS_OK, _osMsgQRecvV(__FILE__, __LINE__, queue, &piece, &pieces, 1));
                if (value[0] < 0) return;
                got[static_cast<size_t>(r)].push_back(value[0]);
            }
        });
    }
    for (int s = 0; s < SENDERS; ++s) threads[static_cast<size_t>(s)].join();
    for (int r = 0; r < RECEIVERS; ++r) {
        int stop = -1;
        OsMsgQPiece piece{&stop, sizeof stop};
        ASSERT_EQ(OS_OK, _osMsgQSendV(__FILE__, __LINE__, queue, &piece, 1, 1));
    }
    for (size_t t = SENDERS; t < threads.size(); ++t) threads[t].join();

    std::vector<int> seen(SENDERS * PER_SENDER, 0);
    for (const auto& list : got) {
        for (int v : list) ++seen[static_cast<size_t>(v)];
    }
    for (size_t v = 0; v < seen.size(); ++v) ASSERT_EQ(1, seen[v]) << "message " << v;
    // Each sender's messages keep their order at every receiver.
    for (const auto& list : got) {
        std::vector<int> last(SENDERS, -1);
        for (int v : list) {
            EXPECT_LT(last[static_cast<size_t>(v / PER_SENDER)], v);
            last[static_cast<size_t>(v / PER_SENDER)] = v;
        }
    }
}

}  // namespace
