#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "vel/xmlconnectionapi/ConnApiFrame.h"

namespace tamsel::test {
namespace {

TEST(ConnApiFrameTest, FramesPrefixTheByteLengthAndALineFeedUpToTheLimit) {
    EXPECT_EQ(ConnApiFrame::frame("Q"), "1\nQ");
    EXPECT_EQ(ConnApiFrame::frame(std::string(1234, 'x')), "1234\n" + std::string(1234, 'x'));
    EXPECT_EQ(ConnApiFrame::frame(""), "0\n");
    const std::string largest(ConnApiFrame::MAX_MESSAGE_LENGTH, 'l');
    EXPECT_EQ(ConnApiFrame::frame(largest), "1000000\n" + largest);
    // What the receiver would refuse is not framed at all.
    EXPECT_EQ(ConnApiFrame::frame(std::string(ConnApiFrame::MAX_MESSAGE_LENGTH + 1, 'l')), "");
    char header[ConnApiFrame::HEADER_CAPACITY];
    EXPECT_EQ(ConnApiFrame::writeHeader(-1, header), 0);
}

using Run = std::pair<std::uint8_t, int>;
std::vector<Run> g_skipped;
void recordSkipped(void*, std::uint8_t first, int count) {
    g_skipped.emplace_back(first, count);
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    int alreadyScanned;
    ConnApiFrame::HeaderStatus status;
    int headerLength;
    int messageLength;
    std::vector<Run> skipped;  // each run of skipped bytes: its first byte and length
};

TEST(ConnApiFrameTest, HeadersAreReadAsBothEndsWriteThem) {
    using S = ConnApiFrame::HeaderStatus;
    const std::string longest = std::string(ConnApiFrame::MAX_HEADER_LENGTH - 2, ' ') + "2\nab";
    const HeaderCase cases[] = {
        {"whole header", "5\nhello", 0, S::ACCEPTED, 2, 5, {}},
        {"one byte only", "5", 0, S::INCOMPLETE, 0, 0, {}},
        {"line feed without a byte behind it", "12\n", 0, S::INCOMPLETE, 0, 0, {}},
        {"skipped byte reported once", "1x2\nab", 0, S::ACCEPTED, 4, 12, {{'x', 1}}},
        {"one report per run of skipped bytes", "1xx2yyy\nab", 0, S::ACCEPTED, 8, 12, {{'x', 2}, {'y', 3}}},
        {"a run an earlier call saw end is not reported again", "1x2\nab", 3, S::ACCEPTED, 4, 12, {}},
        {"a run an earlier call saw begin is reported at its end",
         "1xy2\nab",
         2,
         S::ACCEPTED,
         5,
         12,
         {{'x', 2}}},
        {"a run not ended yet is not reported", "1xyz", 0, S::INCOMPLETE, 0, 0, {}},
        {"leading zeros", "0003\nabc", 0, S::ACCEPTED, 5, 3, {}},
        {"empty payload", "0\n5", 0, S::ACCEPTED, 2, 0, {}},
        {"header that starts with its end", "\n5\n", 0, S::NEVER, 0, 0, {}},
        {"length over the limit", "1000001\nx", 0, S::NEVER, 0, 0, {}},
        {"overlong digits", "99999999999999999999\nabc", 0, S::NEVER, 0, 0, {}},
        {"longest header",
         longest,
         0,
         S::ACCEPTED,
         ConnApiFrame::MAX_HEADER_LENGTH,
         2,
         {{' ', ConnApiFrame::MAX_HEADER_LENGTH - 2}}},
        {"header past the limit",
         std::string(ConnApiFrame::MAX_HEADER_LENGTH + 1, ' '),
         0,
         S::NEVER,
         0,
         0,
         {{' ', ConnApiFrame::MAX_HEADER_LENGTH}}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_skipped.clear();
        ConnApiFrame::HeaderReading reading =
            ConnApiFrame::readHeader(reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                                     static_cast<int>(c.bytes.size()), c.alreadyScanned, recordSkipped);
        EXPECT_EQ(reading.status, c.status);
        if (c.status == S::ACCEPTED) {
            EXPECT_EQ(reading.headerLength, c.headerLength);
            EXPECT_EQ(reading.messageLength, c.messageLength);
        }
        EXPECT_EQ(g_skipped, c.skipped);
    }
}

TEST(ConnApiFrameTest, WhatOneEndFramesTheOtherReads) {
    for (const std::string& payload : {std::string("Q"), std::string(999, 'p'), std::string(1000000, 'm')}) {
        const std::string frame = ConnApiFrame::frame(payload);
        ConnApiFrame::HeaderReading reading = ConnApiFrame::readHeader(
            reinterpret_cast<const std::uint8_t*>(frame.data()), static_cast<int>(frame.size()), 0, nullptr);
        ASSERT_EQ(reading.status, ConnApiFrame::HeaderStatus::ACCEPTED);
        EXPECT_EQ(frame.substr(static_cast<std::size_t>(reading.headerLength)), payload);
        EXPECT_EQ(reading.messageLength, static_cast<int>(payload.size()));
    }
}

}  // namespace
}  // namespace tamsel::test
