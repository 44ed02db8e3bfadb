// The frame path: diversion of listed EtherTypes to user mode, the port that gates everything
// else, upper protocols' sends, raw frames from user mode and packets lent to the upper side.
#include "tests/driver/FrameFixture.h"

namespace {

using C = FiltConstants;
using ndissim::SimReceiveOptions;
using namespace std::chrono_literals;

class FramePathTest : public FrameFixture {};

// The ways a frame can arrive from the adapter below.
enum class Arrival {
    Packet,
    PacketOnStack,
    LookaheadWhole,
    LookaheadWithPacket,
    LookaheadShort,
    LookaheadShortPending
};

const char* Name(Arrival a) {
    switch (a) {
        case Arrival::Packet:
            return "packet";
        case Arrival::PacketOnStack:
            return "packet on a stack";
        case Arrival::LookaheadWhole:
            return "whole lookahead";
        case Arrival::LookaheadWithPacket:
            return "lookahead with a packet";
        case Arrival::LookaheadShort:
            return "short lookahead";
        case Arrival::LookaheadShortPending:
            return "short lookahead, transfer pending";
    }
    return "?";
}

void Arrive(SimLowerMiniport& lower, Arrival how, const Bytes& frame) {
    auto& environment = NdisEnvironment::instance();
    environment.setOfferPacketStacks(how == Arrival::PacketOnStack);
    lower.setPendTransfers(how == Arrival::LookaheadShortPending);
    switch (how) {
        case Arrival::Packet:
        case Arrival::PacketOnStack:
            lower.receivePacket(frame);
            break;
        case Arrival::LookaheadWhole:
            lower.receiveLookahead(frame, ULONG(frame.size()));
            break;
        case Arrival::LookaheadWithPacket:
            lower.receiveLookahead(frame, ULONG(frame.size()), true);
            break;
        case Arrival::LookaheadShort:
        case Arrival::LookaheadShortPending:
            lower.receiveLookahead(frame, 20);
            lower.completePendingTransfers();
            break;
    }
    environment.setOfferPacketStacks(false);
    lower.setPendTransfers(false);
}

constexpr Arrival ALL_ARRIVALS[] = {Arrival::Packet,         Arrival::PacketOnStack,
                                    Arrival::LookaheadWhole, Arrival::LookaheadWithPacket,
                                    Arrival::LookaheadShort, Arrival::LookaheadShortPending};

TEST_F(FramePathTest, ListedFrameReachesUserModeWholeAndNeverTheUpperProtocols) {
    auto& owner = LoadOwningEapol();
    auto& reader = Open(41);
    Take(reader);
    for (bool portOpen : {true, false}) {
        SetPort(owner, portOpen);
        for (Arrival how : ALL_ARRIVALS) {
            Take(owner);
            Bytes frame = Eapol(60, uint8_t(how));
            size_t before = Upper().received().size();
            Arrive(*wired_, how, frame);
            for (SimDeviceFile* file : {&owner, &reader}) {
                auto diverted = Diverted(*file);
                ASSERT_EQ(diverted.size(), 1u) << Name(how) << " port open " << portOpen;
                EXPECT_EQ(diverted[0].recordLength, 92u) << Name(how);
                EXPECT_EQ(diverted[0].result, 0);
                EXPECT_EQ(diverted[0].data, frame) << Name(how);
            }
            EXPECT_EQ(Upper().received().size(), before) << Name(how);
            EXPECT_EQ(wired_->heldPackets(), 0u) << Name(how);
        }
    }
}

TEST_F(FramePathTest, OtherFramesPassUpOnlyWhileThePortIsOpen) {
    auto& owner = LoadOwningEapol();
    for (bool portOpen : {true, false}) {
        SetPort(owner, portOpen);
        for (Arrival how : ALL_ARRIVALS) {
            Bytes frame = Ipv4(90, uint8_t(how));
            size_t before = Upper().received().size();
            Arrive(*wired_, how, frame);
            auto received = Upper().received();
            ASSERT_EQ(received.size(), before + (portOpen ? 1 : 0)) << Name(how) << " port open " << portOpen;
            if (portOpen) {
                EXPECT_EQ(received.back().bytes, frame) << Name(how);
            }
            EXPECT_TRUE(Diverted(owner).empty()) << Name(how);
            EXPECT_EQ(wired_->heldPackets(), 0u) << Name(how);
        }
    }
}

TEST_F(FramePathTest, EtherTypeIsReadOnlyFromAFirstBufferOfFourteenBytes) {
    auto& owner = LoadOwningEapol();
    struct Case {
        const char* what;
        Bytes frame;
        ULONG firstBuffer;
        bool diverted;
    } cases[] = {
        {"first buffer of 13 bytes", Eapol(), 13, false},
        {"first buffer of 14 bytes", Eapol(), 14, true},
        {"VLAN tag before the EAPOL type",
         [] {
             Bytes f = EthernetFrame(0x81, 0x00, 64);
             f[16] = 0x88;
             f[17] = 0x8e;
             return f;
         }(),
         0, false},
        {"type bytes swapped", EthernetFrame(0x8e, 0x88, 60), 0, false},
    };
    for (const auto& c : cases) {
        size_t before = Upper().received().size();
        wired_->receivePacket(c.frame, SimReceiveOptions{c.firstBuffer});
        auto diverted = Diverted(owner);
        ASSERT_EQ(diverted.size(), c.diverted ? 1u : 0u) << c.what;
        // A frame in two buffers arrives in one piece.
        if (c.diverted) {
            EXPECT_EQ(diverted[0].data, c.frame) << c.what;
        }
        EXPECT_EQ(Upper().received().size(), before + (c.diverted ? 0 : 1)) << c.what;
    }
}

TEST_F(FramePathTest, DivertedFrameThatCannotBeMappedIsDroppedQuietly) {
    auto& owner = LoadOwningEapol();
    wired_->receivePacket(Eapol(80), SimReceiveOptions{20, false, true});
    EXPECT_TRUE(Diverted(owner).empty());
    EXPECT_TRUE(Upper().received().empty());
}

TEST_F(FramePathTest, UpperSendsAreGatedByPortEtherTypeAndPower) {
    auto& owner = LoadOwningEapol();
    struct Case {
        const char* what;
        bool portOpen;
        bool stacks;
        NDIS_STATUS lowerAnswer;
        Bytes frame;
        NDIS_STATUS completion;
        bool reachesAdapter;
    } cases[] = {
        {"IP, port open, wrapped", true, false, NDIS_STATUS_SUCCESS, Ipv4(), NDIS_STATUS_SUCCESS, true},
        {"IP, port open, on a stack", true, true, NDIS_STATUS_SUCCESS, Ipv4(), NDIS_STATUS_SUCCESS, true},
        {"IP, adapter fails it, wrapped", true, false, NDIS_STATUS_FAILURE, Ipv4(), NDIS_STATUS_FAILURE,
         true},
        {"IP, adapter fails it, on a stack", true, true, NDIS_STATUS_FAILURE, Ipv4(), NDIS_STATUS_FAILURE,
         true},
        {"IP, adapter pends it, wrapped", true, false, NDIS_STATUS_PENDING, Ipv4(), NDIS_STATUS_SUCCESS,
         true},
        {"IP, adapter pends it, on a stack", true, true, NDIS_STATUS_PENDING, Ipv4(), NDIS_STATUS_SUCCESS,
         true},
        {"IP, port closed", false, false, NDIS_STATUS_SUCCESS, Ipv4(), NDIS_STATUS_NOT_ACCEPTED, false},
        {"EAPOL, port open", true, false, NDIS_STATUS_SUCCESS, Eapol(), NDIS_STATUS_NOT_ACCEPTED, false},
        {"EAPOL, port closed", false, true, NDIS_STATUS_SUCCESS, Eapol(), NDIS_STATUS_NOT_ACCEPTED, false},
    };
    auto& upper = Upper();
    for (const auto& c : cases) {
        SetPort(owner, c.portOpen);
        NdisEnvironment::instance().setOfferPacketStacks(c.stacks);
        wired_->setSendStatus(c.lowerAnswer);
        size_t sentBefore = wired_->sentFrames().size();
        size_t resultsBefore = upper.sendResults().size();
        upper.send(c.frame);
        if (c.lowerAnswer == NDIS_STATUS_PENDING) {
            EXPECT_EQ(upper.sendResults().size(), resultsBefore)
                << c.what << ": completed before the adapter";
            EXPECT_EQ(wired_->completePendingSends(NDIS_STATUS_SUCCESS), 1u) << c.what;
        }
        ASSERT_TRUE(upper.waitSendResults(resultsBefore + 1, 5s)) << c.what;
        EXPECT_EQ(upper.sendResults().back(), c.completion) << c.what;
        auto sent = wired_->sentFrames();
        ASSERT_EQ(sent.size(), sentBefore + (c.reachesAdapter ? 1 : 0)) << c.what;
        if (c.reachesAdapter) {
            EXPECT_EQ(sent.back().bytes, c.frame) << c.what;
        }
    }
    NdisEnvironment::instance().setOfferPacketStacks(false);
    wired_->setSendStatus(NDIS_STATUS_SUCCESS);
    SetPort(owner, true);

    // An adapter asleep below takes nothing.
    ASSERT_EQ(NdisEnvironment::instance().setLowerPower(*wired_, NdisDeviceStateD3), NDIS_STATUS_SUCCESS);
    size_t sentBefore = wired_->sentFrames().size();
    upper.send(Ipv4());
    ASSERT_TRUE(upper.waitSendResults(std::size(cases) + 1, 5s));
    EXPECT_EQ(upper.sendResults().back(), NDIS_STATUS_FAILURE);
    EXPECT_EQ(wired_->sentFrames().size(), sentBefore);
    ASSERT_EQ(NdisEnvironment::instance().setLowerPower(*wired_, NdisDeviceStateD0), NDIS_STATUS_SUCCESS);
}

TEST_F(FramePathTest, RawFrameReachesTheAdapterAndItsCompletionIsIndicated) {
    auto& owner = LoadOwningEapol();
    struct Case {
        const char* what;
        NDIS_STATUS lowerAnswer;
        uint8_t result;            // of the private command
        NDIS_STATUS completeWith;  // for a pending send
        bool completion;           // whether a completion indication follows
        uint8_t indicated;         // its result
    } cases[] = {
        {"sent at once", NDIS_STATUS_SUCCESS, C::FILT_CMD_OK, 0, true, C::FILT_CMD_OK},
        // The caller has the failure in the result: no completion follows.
        {"refused at once", NDIS_STATUS_FAILURE, C::FILT_CMD_FAILED, 0, false, 0},
        {"pending, then sent", NDIS_STATUS_PENDING, C::FILT_CMD_PENDING, NDIS_STATUS_SUCCESS, true,
         C::FILT_CMD_OK},
        {"pending, then failed", NDIS_STATUS_PENDING, C::FILT_CMD_PENDING, NDIS_STATUS_RESOURCES, true,
         C::FILT_CMD_FAILED},
    };
    uint32_t tag = 0x11223344;
    for (const auto& c : cases) {
        wired_->setSendStatus(c.lowerAnswer);
        Bytes frame = Eapol(64, uint8_t(tag));
        size_t sentBefore = wired_->sentFrames().size();
        Bytes answer =
            Private(owner, WIRED, true, Command(3, 2, uint16_t(4 + frame.size()), Cat({U32(tag), frame})));
        ASSERT_GE(answer.size(), 8u) << c.what;
        EXPECT_EQ(answer[C::CMD_RESULT], c.result) << c.what;
        auto sent = wired_->sentFrames();
        ASSERT_EQ(sent.size(), sentBefore + 1) << c.what;
        EXPECT_EQ(sent.back().bytes, frame) << c.what;
        EXPECT_TRUE(sent.back().flags & NDIS_FLAGS_DONT_LOOPBACK) << c.what;
        if (c.lowerAnswer == NDIS_STATUS_PENDING) {
            EXPECT_TRUE(Indications(Take(owner), 3, 0).empty())
                << c.what << ": completion before the adapter";
            wired_->completePendingSends(c.completeWith);
        }
        auto completions = Indications(Take(owner), 3, 0);
        ASSERT_EQ(completions.size(), c.completion ? 1u : 0u) << c.what;
        if (c.completion) {
            EXPECT_EQ(completions[0].result, c.indicated) << c.what;
            EXPECT_EQ(completions[0].data, U32(tag)) << c.what;
        }
        // A raw frame is not the upper protocols' business, whatever its type.
        EXPECT_TRUE(Upper().sendResults().empty()) << c.what;
        ++tag;
    }
    wired_->setSendStatus(NDIS_STATUS_SUCCESS);
}

// A host that runs for long sends without end: the adapter keeps only the last frames and
// requests for inspection, and counts them all.
TEST_F(FramePathTest, AdapterKeepsABoundedRecordOfItsTraffic) {
    LoadOwningEapol();
    auto& upper = Upper();
    constexpr size_t FRAMES = 2 * SimLowerMiniport::RECORD_LIMIT + 5;
    for (size_t i = 0; i < FRAMES; ++i) upper.send(Ipv4(1514, uint8_t(i)));
    ASSERT_TRUE(wired_->waitSentFrames(FRAMES, 10s));
    EXPECT_EQ(wired_->sentFrameCount(), FRAMES);
    auto kept = wired_->sentFrames();
    ASSERT_EQ(kept.size(), SimLowerMiniport::RECORD_LIMIT);
    EXPECT_EQ(kept.back().bytes, Ipv4(1514, uint8_t(FRAMES - 1)));
    EXPECT_EQ(kept.front().bytes, Ipv4(1514, uint8_t(FRAMES - SimLowerMiniport::RECORD_LIMIT)));

    size_t before = wired_->requestCount(OID_GEN_PHYSICAL_MEDIUM);
    for (size_t i = 0; i < FRAMES; ++i) upper.query(OID_GEN_PHYSICAL_MEDIUM, 4);
    EXPECT_EQ(wired_->requestCount(OID_GEN_PHYSICAL_MEDIUM), before + FRAMES);
    EXPECT_LE(wired_->requests().size(), SimLowerMiniport::RECORD_LIMIT);
}

TEST_F(FramePathTest, RawFrameIsRefusedWhileTheMediumIsDisconnected) {
    auto& owner = LoadOwningEapol();
    NdisEnvironment::instance().indicateStatus(*wired_, NDIS_STATUS_MEDIA_DISCONNECT);
    Bytes answer = Private(owner, WIRED, true, Command(3, 2, 64, Cat({U32(5), Eapol()})));
    ASSERT_GE(answer.size(), 8u);
    EXPECT_EQ(answer[C::CMD_RESULT], C::FILT_CMD_FAILED);
    EXPECT_TRUE(wired_->sentFrames().empty());
}

TEST_F(FramePathTest, PacketsLentUpwardGoBackToTheAdapterWhenReturned) {
    LoadOwningEapol();
    auto& upper = Upper();
    struct Case {
        const char* what;
        bool stacks;
        bool resources;
        int kept;  // what the driver answers the adapter
    } cases[] = {
        {"wrapped", false, false, 1},
        {"on a stack", true, false, 1},
        {"wrapped, adapter short of resources", false, true, 0},
        {"on a stack, adapter short of resources", true, true, 0},
    };
    for (const auto& c : cases) {
        NdisEnvironment::instance().setOfferPacketStacks(c.stacks);
        upper.holdReceivedPackets(true);
        EXPECT_EQ(wired_->receivePacket(Ipv4(), SimReceiveOptions{0, c.resources}), c.kept) << c.what;
        EXPECT_EQ(wired_->heldPackets(), size_t(c.kept)) << c.what;
        upper.returnReceivedPackets(true);
        upper.holdReceivedPackets(false);
        EXPECT_EQ(wired_->heldPackets(), 0u) << c.what;
    }
    NdisEnvironment::instance().setOfferPacketStacks(false);
}

TEST_F(FramePathTest, ReceiveCompleteFollowsOnlyALookaheadIndication) {
    LoadOwningEapol();
    auto& upper = Upper();
    wired_->receivePacket(Ipv4());
    EXPECT_EQ(upper.receiveCompleteCount(), 0u);
    wired_->receiveLookahead(Ipv4(), 46);
    EXPECT_EQ(upper.receiveCompleteCount(), 1u);
    wired_->receiveLookahead(Eapol(), 46);  // diverted: nothing was indicated upward
    EXPECT_EQ(upper.receiveCompleteCount(), 1u);
}

// The upper protocol's transfer of the rest of a frame completes for it whatever the power state
// of the miniport when the adapter finishes it.
TEST_F(FramePathTest, UpperTransferCompletesEvenAfterTheMiniportLeftD0) {
    LoadOwningEapol();
    auto& upper = Upper();
    for (bool sleepFirst : {false, true}) {
        wired_->setPendTransfers(true);
        Bytes frame = Ipv4(60, sleepFirst ? 7 : 3);
        wired_->receiveLookahead(frame, 20);
        if (sleepFirst) {
            ASSERT_EQ(upper.setU32(OID_PNP_SET_POWER, NdisDeviceStateD3).status, NDIS_STATUS_SUCCESS);
        }
        EXPECT_EQ(wired_->completePendingTransfers(), 1u);
        wired_->setPendTransfers(false);
        auto received = upper.received();
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back().bytes, frame) << "asleep first: " << sleepFirst;
    }
}

TEST_F(FramePathTest, MediaChangesBehindAClosedPortStayHiddenUntilItOpens) {
    auto& owner = LoadOwningEapol();
    auto& upper = Upper();
    SetPort(owner, false);
    size_t before = upper.indications().size();
    ASSERT_EQ(upper.indications().back().status, NDIS_STATUS_MEDIA_DISCONNECT);  // from closing
    NdisEnvironment::instance().indicateStatus(*wired_, NDIS_STATUS_MEDIA_CONNECT);
    EXPECT_EQ(upper.indications().size(), before);
    auto media = Indications(Take(owner), 2, 0);
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(media[0].data, U32(1));
    SetPort(owner, true);
    ASSERT_EQ(upper.indications().size(), before + 1);
    EXPECT_EQ(upper.indications().back().status, NDIS_STATUS_MEDIA_CONNECT);
}

TEST_F(FramePathTest, WithoutPacketsOrDescriptorsFramesAreRefusedOrDroppedAndNothingLeaks) {
    auto& owner = LoadOwningEapol();
    auto& upper = Upper();

    base::failNext("NdisAllocatePacket", NDIS_STATUS_RESOURCES, 1);
    upper.send(Ipv4());
    ASSERT_TRUE(upper.waitSendResults(1, 5s));
    EXPECT_EQ(upper.sendResults().back(), NDIS_STATUS_RESOURCES);
    EXPECT_TRUE(wired_->sentFrames().empty());

    base::failNext("NdisAllocatePacket", NDIS_STATUS_RESOURCES, 1);
    EXPECT_EQ(wired_->receivePacket(Ipv4()), 0);
    EXPECT_TRUE(upper.received().empty());

    // Without a wrapper for the packet behind a lookahead, the lookahead itself goes up.
    base::failNext("NdisAllocatePacket", NDIS_STATUS_RESOURCES, 1);
    EXPECT_EQ(wired_->receiveLookahead(Ipv4(70), 56, true), NDIS_STATUS_SUCCESS);
    ASSERT_EQ(upper.received().size(), 1u);
    EXPECT_TRUE(upper.received().back().byLookahead);
    EXPECT_EQ(upper.received().back().bytes, Ipv4(70));

    base::failNext("NdisAllocatePacket", NDIS_STATUS_RESOURCES, 1);
    EXPECT_EQ(wired_->receiveLookahead(Eapol(300), 40), NDIS_STATUS_NOT_ACCEPTED);
    EXPECT_TRUE(Diverted(owner).empty());

    base::failNext("NdisAllocateBuffer", NDIS_STATUS_RESOURCES, 1);
    Bytes answer = Private(owner, WIRED, true, Command(3, 2, 64, Cat({U32(3), Eapol()})));
    EXPECT_EQ(answer[C::CMD_RESULT], C::FILT_CMD_FAILED);
    EXPECT_TRUE(wired_->sentFrames().empty());
    EXPECT_TRUE(Indications(Take(owner), 3, 0).empty());
}

}  // namespace
