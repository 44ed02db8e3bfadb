// Frames for the frame path's tests: building them, owning a binding to list EtherTypes, and
// reading the diverted frames and raw-send completions out of the event records.
#pragma once

#include <chrono>

#include "platform/ndis/NdisPacket.h"
#include "tests/driver/DriverFixture.h"

// An Ethernet frame of `length` bytes with the EtherType bytes given and a recognisable payload.
inline Bytes EthernetFrame(uint8_t typeHigh, uint8_t typeLow, size_t length, uint8_t seed = 0) {
    Bytes frame(length);
    for (size_t i = 0; i < length; ++i) frame[i] = uint8_t(seed + i * 7);
    if (length >= 14) {
        frame[12] = typeHigh;
        frame[13] = typeLow;
    }
    return frame;
}

inline Bytes Eapol(size_t length = 60, uint8_t seed = 0) {
    return EthernetFrame(0x88, 0x8e, length, seed);
}
inline Bytes Ipv4(size_t length = 60, uint8_t seed = 0) {
    return EthernetFrame(0x08, 0x00, length, seed);
}

// A private indication found among event records.
struct Indication {
    uint32_t recordLength;
    uint16_t group;
    uint8_t item;
    uint8_t result;
    Bytes data;
};

inline std::vector<Indication> Indications(const std::vector<Record>& records, uint16_t group, uint8_t item) {
    std::vector<Indication> out;
    for (const auto& r : records) {
        if (r.type != FiltConstants::EVENT_STATUS || r.bytes.size() < 32) continue;
        const uint8_t* command = r.bytes.data() + FiltConstants::STATUS_BODY;
        if (FiltGetU16(command, FiltConstants::CMD_GROUP) != group ||
            command[FiltConstants::CMD_ITEM] != item)
            continue;
        uint16_t length = FiltGetU16(command, FiltConstants::CMD_DATA_LENGTH);
        const uint8_t* data = command + FiltConstants::CMD_DATA;
        if (data + length > r.bytes.data() + r.bytes.size()) continue;
        out.push_back(Indication{r.length, group, command[FiltConstants::CMD_ITEM],
                                 command[FiltConstants::CMD_RESULT], Bytes(data, data + length)});
    }
    return out;
}

// Everything queued for the handle now; a read that would pend is cancelled at once.
inline std::vector<Record> Take(SimDeviceFile& file) {
    std::vector<Record> all;
    for (;;) {
        auto read = file.read(65536);
        bool pended = !read->done();
        if (pended) read->cancel();
        if (!read->wait(std::chrono::seconds(5)) || read->status() != STATUS_SUCCESS) break;
        auto records = ParseRecords(read->output());
        all.insert(all.end(), records.begin(), records.end());
        if (pended) break;
    }
    return all;
}

class FrameFixture : public DriverFixture {
protected:
    static constexpr uint32_t WIRED = 1;
    static constexpr uint32_t OWNER = 40;

    void TearDown() override {
        DriverFixture::TearDown();
        EXPECT_EQ(NdisOutstandingPackets(), 0u) << "packets left behind";
    }

    // Loads the driver, claims the wired binding and lists EAPOL for diversion.
    SimDeviceFile& LoadOwningEapol() {
        LoadWithTwoAdapters();
        auto& owner = Open(OWNER);
        EXPECT_EQ(Private(owner, WIRED, true, Command(1, 1, 4, U32(1)))[FiltConstants::CMD_RESULT], 0);
        EXPECT_EQ(Private(owner, WIRED, true, Command(3, 1, 2, Bytes{0x88, 0x8e}))[FiltConstants::CMD_RESULT],
                  0);
        Take(owner);
        return owner;
    }

    void SetPort(SimDeviceFile& owner, bool open) {
        EXPECT_EQ(Private(owner, WIRED, true, Command(2, 2, 4, U32(open ? 1 : 0)))[FiltConstants::CMD_RESULT],
                  0);
    }

    ndissim::SimUpperProtocol& Upper() {
        auto* upper = NdisEnvironment::instance().upperProtocol(u"\\Device\\{VWIRED-0001}");
        if (!upper) throw std::runtime_error("no upper protocol");
        return *upper;
    }

    // Frames user mode received as diverted-frame indications.
    static std::vector<Indication> Diverted(SimDeviceFile& file) { return Indications(Take(file), 3, 1); }
};
