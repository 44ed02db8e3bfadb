#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/lum/Log.h"
#include "tests/vel/ipc/ScriptedIpcManager.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/ipc/IpcReceiveBuffer.h"
#include "vel/ipc/IpcSendBuffer.h"
#include "vel/xmlconnectionapi/ConnApiFrame.h"

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

const char* const INVALID_BYTE = "Invalid charcter 0x";
const char* const NEVER = "IPC message header can never be accepted";

class FramingTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        setLogLevelMask(LogConstants::INITIAL_MASK);
    }
    std::vector<std::string> logLines(const std::string& part) {
        std::vector<std::string> found;
        for (const std::string& line : readLines(root.log()))
            if (line.find(part) != std::string::npos) found.push_back(line);
        return found;
    }
    // The byte counts of the skipped-run lines logged after the first `before` of them.
    std::vector<int> skippedRuns(size_t before) {
        std::vector<int> counts;
        std::vector<std::string> lines = logLines(INVALID_BYTE);
        for (size_t i = before; i < lines.size(); ++i) {
            size_t at = lines[i].find(" in IPC message header (");
            counts.push_back(at == std::string::npos ? -1 : std::atoi(lines[i].c_str() + at + 24));
        }
        return counts;
    }
};

std::string frame(const std::string& payload) {
    return std::to_string(payload.size()) + "\n" + payload;
}

std::vector<std::string> bytesOneByOne(const std::string& text) {
    std::vector<std::string> chunks;
    for (char c : text) chunks.emplace_back(1, c);
    return chunks;
}

std::string repeated(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

}  // namespace

// What arrives, in which chunks, and what the reader hands out before the peer goes.
TEST_F(FramingTest, ChunksArrivingBecomeMessages) {
    const std::string big = repeated(1000000);
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<std::string> messages;
        std::vector<int> skippedRuns;  // bytes of each run of skipped header bytes, one log line each
        bool refused;                  // the header can never be accepted: the connection ends at once
    };
    const std::vector<Case> cases = {
        {"one frame in one read", {frame("hello")}, {"hello"}, {}, false},
        {"two frames in one read", {frame("first") + frame("second")}, {"first", "second"}, {}, false},
        {"split header", {"1", "2\nabcdef", "ghijkl"}, {"abcdefghijkl"}, {}, false},
        {"one byte at a time", bytesOneByOne(frame("<a>b</a>") + frame("Q")), {"<a>b</a>", "Q"}, {}, false},
        {"skipped non-digits", {"12x\nabcdefghijkl"}, {"abcdefghijkl"}, {1}, false},
        {"skipped non-digits one byte at a time",
         bytesOneByOne("1 2x\nabcdefghijkl"),
         {"abcdefghijkl"},
         {1, 1},
         false},
        {"runs of junk between digits", {"1xx2yyy\n" + repeated(12)}, {repeated(12)}, {2, 3}, false},
        {"run of junk split over reads", {"1ab", "c", "\nQ"}, {"Q"}, {3}, false},
        {"run of junk in front of every frame", {"?!1\nA?!1\nB"}, {"A", "B"}, {2, 2}, false},
        {"empty payload once the next frame starts", {"0\n", "5\nhello"}, {"", "hello"}, {}, false},
        {"empty payload at the end of the stream is never handed out", {"0\n"}, {}, {}, false},
        {"leading zeros", {"0003\nabc"}, {"abc"}, {}, false},
        {"largest payload", {frame(big)}, {big}, {}, false},
        {"largest payload in pieces", {"1000000\n", big.substr(0, 3), big.substr(3)}, {big}, {}, false},
        {"message split where the next header starts",
         {frame("ab") + "1", "0\n0123456789"},
         {"ab", "0123456789"},
         {},
         false},
        {"header beginning with its line feed", {frame("ok") + "\n5\nhello"}, {"ok"}, {}, true},
        {"payload over the limit", {"1000001\n", "x"}, {}, {}, true},
        {"overlong digits", {"99999999999999999999\nabc"}, {}, {}, true},
        {"overflowing digits one byte at a time", bytesOneByOne("4294967297\nx"), {}, {}, true},
        {"longest header",
         {std::string(ConnApiFrame::MAX_HEADER_LENGTH - 2, ' ') + "2\nab"},
         {"ab"},
         {ConnApiFrame::MAX_HEADER_LENGTH - 2},
         false},
        {"no line feed within the header limit",
         {std::string(ConnApiFrame::MAX_HEADER_LENGTH + 1, ' ')},
         {},
         {ConnApiFrame::MAX_HEADER_LENGTH},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t invalidBefore = logLines(INVALID_BYTE).size();
        size_t neverBefore = logLines(NEVER).size();
        ScriptedIpcManagerImpl* impl = nullptr;
        IpcManager ipc = scripted(impl, c.chunks);
        IpcReceiveBuffer buffer;
        std::vector<std::string> got;
        bool ended = false;
        while (!ended) {
            try {
                Datagram d = buffer.receive(ipc);
                got.emplace_back(reinterpret_cast<const char*>(d.bytes()), static_cast<size_t>(d.length()));
            } catch (const NoConnectionException&) {
                ended = true;
            }
        }
        EXPECT_EQ(got.size(), c.messages.size());
        for (size_t i = 0; i < got.size() && i < c.messages.size(); ++i)
            EXPECT_TRUE(got[i] == c.messages[i]) << i;
        EXPECT_EQ(skippedRuns(invalidBefore), c.skippedRuns);
        EXPECT_EQ(logLines(NEVER).size() - neverBefore, c.refused ? 1u : 0u);
        // A refused header ends the connection without waiting for the peer to go.
        size_t totalChunks = c.chunks.size();
        if (c.refused) {
            EXPECT_LE(static_cast<size_t>(impl->reads), totalChunks);
        } else {
            EXPECT_GT(static_cast<size_t>(impl->reads), totalChunks) << "read until the peer went";
        }
    }
}

TEST_F(FramingTest, SkippedByteIsLoggedWithItsValue) {
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {"1\x7f", "\nQ"});
    IpcReceiveBuffer buffer;
    EXPECT_EQ(buffer.receive(ipc).length(), 1);
    EXPECT_THAT(logLines(INVALID_BYTE),
                ElementsAreArray({HasSubstr("Invalid charcter 0x7f in IPC message header (1 skipped)")}));
}

TEST_F(FramingTest, SkippedRunsBeyondTheFirstFewAreToldInOneLine) {
    constexpr int FRAMES = 10;
    std::string junk;
    for (int i = 0; i < FRAMES; ++i) junk += "x" + frame("payload");
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {junk + "1"});
    {
        IpcReceiveBuffer buffer;
        for (int i = 0; i < FRAMES; ++i) EXPECT_STREQ(buffer.receive(ipc).text(), "payload");
        EXPECT_EQ(skippedRuns(0), std::vector<int>(IpcConstants::SKIPPED_RUNS_IN_FULL, 1));
        EXPECT_THAT(logLines("more runs skipped"), ::testing::IsEmpty()) << "told when the interval has passed";
    }
    // The reader's end tells the rest.
    EXPECT_THAT(logLines("more runs skipped"),
                ElementsAreArray({HasSubstr("Invalid charcters in IPC message headers: " +
                                            std::to_string(FRAMES - IpcConstants::SKIPPED_RUNS_IN_FULL) +
                                            " more runs skipped in ")}));
}

TEST_F(FramingTest, FramesBehindTheFirstAreCutWithoutReadingAgain) {
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {frame("one") + frame("two") + frame("three") + "1"});
    IpcReceiveBuffer buffer;
    EXPECT_STREQ(buffer.receive(ipc).text(), "one");
    EXPECT_EQ(impl->reads, 1);
    EXPECT_STREQ(buffer.receive(ipc).text(), "two");
    EXPECT_STREQ(buffer.receive(ipc).text(), "three");
    EXPECT_EQ(impl->reads, 1);
}

TEST_F(FramingTest, ReceiveBufferGrowsToTheLargestFrameAndKeepsIt) {
    const std::string large = repeated(5000);
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {frame("small"), frame(large), frame("x") + frame(repeated(3000))});
    IpcReceiveBuffer buffer;
    EXPECT_EQ(buffer.capacity(), IpcConstants::INLINE_SIZE);
    EXPECT_STREQ(buffer.receive(ipc).text(), "small");
    EXPECT_EQ(buffer.capacity(), IpcConstants::INLINE_SIZE);
    EXPECT_TRUE(buffer.receive(ipc).byteArray() == ByteArray(large.data(), 5000));
    EXPECT_EQ(buffer.capacity(), 5005);
    EXPECT_STREQ(buffer.receive(ipc).text(), "x");
    EXPECT_EQ(buffer.receive(ipc).length(), 3000);
    EXPECT_EQ(buffer.capacity(), 5005);
}

TEST_F(FramingTest, SendBufferFramesEachPayloadWhole) {
    const std::string large = repeated(4000);
    struct Case {
        std::string payload;
        std::string wire;
    };
    const std::vector<Case> cases = {
        {"Q", std::string("1\nQ")},
        {"<e/>", "4\n<e/>"},
        {large, "4000\n" + large},
        {"ab", "2\nab"},  // a short frame after a long one in the same buffer
    };
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {});
    IpcSendBuffer buffer;
    for (const Case& c : cases) {
        buffer.frame(Datagram(c.payload.data(), static_cast<int>(c.payload.size())));
        buffer.send(ipc);
    }
    ASSERT_EQ(impl->sent.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_TRUE(impl->sent[i] == cases[i].wire) << i;
    EXPECT_EQ(buffer.capacity(), 4005);
}

TEST_F(FramingTest, WhatOneSideFramesTheOtherUnframes) {
    std::vector<std::string> payloads = {"Q", repeated(1023), repeated(1024), repeated(70000), "last"};
    ScriptedIpcManagerImpl* writer = nullptr;
    IpcManager out = scripted(writer, {});
    IpcSendBuffer sendBuffer;
    for (const std::string& p : payloads) {
        sendBuffer.frame(reinterpret_cast<const std::uint8_t*>(p.data()), static_cast<int>(p.size()));
        sendBuffer.send(out);
    }
    std::string wire;
    for (const std::string& s : writer->sent) wire += s;
    // Arbitrary cuts of the stream.
    std::vector<std::string> chunks;
    for (size_t at = 0, step = 1; at < wire.size(); at += step, step = step * 3 % 4097 + 1)
        chunks.push_back(wire.substr(at, step));
    ScriptedIpcManagerImpl* reader = nullptr;
    IpcManager in = scripted(reader, chunks);
    IpcReceiveBuffer receiveBuffer;
    for (const std::string& p : payloads)
        EXPECT_TRUE(receiveBuffer.receive(in).byteArray() == ByteArray(p.data(), static_cast<int>(p.size())));
}

TEST_F(FramingTest, FramingAnEmptyPayloadIsABrokenInvariantThatSendsNothing) {
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {});
    IpcSendBuffer buffer;
    buffer.frame(Datagram("first"));
    buffer.send(ipc);
    buffer.frame(Datagram(""));
    EXPECT_THAT(takeAssertions(), ElementsAreArray({HasSubstr("0 < length")}));
    EXPECT_EQ(buffer.frameLength(), 0);
    // The send after it has no frame to hand over, and the one before is not sent again.
    buffer.send(ipc);
    EXPECT_THAT(takeAssertions(), ElementsAreArray({HasSubstr("m_frameLength > 0")}));
    EXPECT_THAT(impl->sent, ElementsAreArray({std::string("5\nfirst")}));
}

// The receiver refuses a payload over the protocol's limit, so the sender does not make one: the
// largest payload still goes, one byte more is a broken invariant that sends nothing.
TEST_F(FramingTest, APayloadOverTheLimitIsNeverSent) {
    ScriptedIpcManagerImpl* impl = nullptr;
    IpcManager ipc = scripted(impl, {});
    IpcSendBuffer buffer;
    const std::string largest(ConnApiFrame::MAX_MESSAGE_LENGTH, 'l');
    buffer.frame(reinterpret_cast<const std::uint8_t*>(largest.data()), static_cast<int>(largest.size()));
    buffer.send(ipc);
    const std::string over(ConnApiFrame::MAX_MESSAGE_LENGTH + 1, 'o');
    buffer.frame(reinterpret_cast<const std::uint8_t*>(over.data()), static_cast<int>(over.size()));
    EXPECT_THAT(takeAssertions(), ElementsAreArray({HasSubstr("MAX_MESSAGE_LENGTH")}));
    EXPECT_EQ(buffer.frameLength(), 0);
    ASSERT_EQ(impl->sent.size(), 1u);
    EXPECT_EQ(impl->sent[0], "1000000\n" + largest);
}
