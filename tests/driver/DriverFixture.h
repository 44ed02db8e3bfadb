// A driver loaded over simulated adapters in a temporary root, with helpers that build the
// control device's records byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/ndis/PoolTracker.h"
#include "platform/ndis/SimDeviceFile.h"
#include "platform/registry/Registry.h"

using Bytes = std::vector<uint8_t>;
using ndissim::NdisEnvironment;
using ndissim::SimDeviceFile;
using ndissim::SimLowerMiniport;

inline Bytes U32(uint32_t v) {
    return Bytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A FiltOidRequest with `data` after the 24-byte header.
inline Bytes OidRequest(uint32_t adapterId, uint32_t setFlag, uint32_t oid, const Bytes& data = {}) {
    Bytes out(24, 0);
    FiltPutU32(out.data(), FiltConstants::OID_ADAPTER_ID, adapterId);
    FiltPutU32(out.data(), FiltConstants::OID_SET_FLAG, setFlag);
    FiltPutU32(out.data(), FiltConstants::OID_OID, oid);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A FiltPrivateCommand carrying `data`, its data length field set to `dataLength`.
inline Bytes Command(uint16_t group, uint8_t item, uint16_t dataLength, const Bytes& data = {}) {
    Bytes out(8, 0);
    FiltPutU16(out.data(), FiltConstants::CMD_GROUP, group);
    out[FiltConstants::CMD_ITEM] = item;
    FiltPutU16(out.data(), FiltConstants::CMD_DATA_LENGTH, dataLength);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct Record {
    uint32_t length, sequence, adapterId, type;
    Bytes bytes;
};

inline std::vector<Record> ParseRecords(const Bytes& batch) {
    std::vector<Record> records;
    size_t at = 0;
    while (at + 16 <= batch.size()) {
        uint32_t length = FiltGetU32(batch.data() + at, 0);
        if (length < 16 || at + length > batch.size()) break;
        records.push_back(Record{length, FiltGetU32(batch.data() + at, 4), FiltGetU32(batch.data() + at, 8),
                                 FiltGetU32(batch.data() + at, 12),
                                 Bytes(batch.begin() + long(at), batch.begin() + long(at + length))});
        at += length;
    }
    return records;
}

struct AdapterSpec {
    std::u16string device;
    std::u16string instance;
    std::u16string upper;
    bool wireless = false;
};

class DriverFixture : public ::testing::Test {
protected:
    static constexpr uint32_t TAG = NdisTag('N', 'V', 'O', '1');

    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("nvofilt-test-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        ::setenv("TAMSEL_HOME", root_.c_str(), 1);
        registry::RegSetStoreFile((root_ / "registry").string());
        NdisEnvironment::instance().reset();
    }

    void TearDown() override {
        files_.clear();
        if (loaded_) FiltUnload(nullptr);
        NdisEnvironment::instance().reset();
        EXPECT_EQ(ndissim::PoolTracker::instance().outstandingBlocks(TAG), 0u) << "driver memory left behind";
        registry::RegSetStoreFile("");
        std::filesystem::remove_all(root_);
    }

    SimLowerMiniport& AddAdapter(const AdapterSpec& spec) {
        auto& lower =
            NdisEnvironment::instance().addLowerAdapter(spec.device, spec.instance, NdisMedium802_3);
        lower.setAnswerU32(OID_GEN_MEDIA_CONNECT_STATUS, NdisMediaStateConnected);
        if (spec.wireless) lower.setAnswerU32(OID_GEN_PHYSICAL_MEDIUM, NdisPhysicalMediumWirelessLan);
        std::string upper(spec.upper.begin(), spec.upper.end());
        SetValue(spec.device, "UpperBindings", registry::REG_SZ, Bytes(upper.begin(), upper.end() + 1));
        return lower;
    }

    static Bytes Sz(const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); }

    void SetValue(const std::u16string& device, const std::string& name, uint32_t type, const Bytes& data) {
        registry::HKEY key = nullptr;
        std::string path = ndissim::BindingConfigurationPath(device);
        ASSERT_EQ(registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0,
                                           registry::KEY_ALL_ACCESS, &key, nullptr),
                  0);
        ASSERT_EQ(registry::RegSetValueEx(key, name.c_str(), type, data.data(), uint32_t(data.size())), 0);
        registry::RegCloseKey(key);
    }

    Bytes GetValue(const std::u16string& device, const std::string& name) {
        registry::HKEY key = nullptr;
        std::string path = ndissim::BindingConfigurationPath(device);
        if (registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0, registry::KEY_READ, &key))
            return {};
        Bytes data(512);
        uint32_t size = uint32_t(data.size()), type = 0;
        long rc = registry::RegQueryValueEx(key, name.c_str(), &type, data.data(), &size);
        registry::RegCloseKey(key);
        if (rc) return {};
        data.resize(size);
        return data;
    }

    // The two adapters most tests use: a wired one and a wireless one.
    void LoadWithTwoAdapters() {
        wired_ = &AddAdapter({u"\\Device\\{WIRED-0001}", u"Sim Wired Adapter", u"\\Device\\{VWIRED-0001}"});
        wireless_ = &AddAdapter({u"\\Device\\{RADIO-0002}", u"Sim Radio", u"\\Device\\{VRADIO-0002}", true});
        wireless_->setAnswer(OID_802_11_BSSID, Bytes{0x02, 0xaa, 0, 0, 0, 1});
        Load();
    }

    void Load() {
        ASSERT_EQ(DriverEntry(nullptr, nullptr), STATUS_SUCCESS);
        loaded_ = true;
        NdisEnvironment::instance().bindAll();
    }

    SimDeviceFile& Open(uint32_t pid) {
        NTSTATUS status = STATUS_UNSUCCESSFUL;
        auto file = SimDeviceFile::open(pid, &status);
        EXPECT_EQ(status, STATUS_SUCCESS);
        if (!file) throw std::runtime_error("open failed");
        files_.push_back(std::move(file));
        return *files_.back();
    }

    // Reads what is queued now (the read must not pend).
    static std::vector<Record> Drain(SimDeviceFile& file) {
        auto read = file.read(8192);
        if (!read->wait(std::chrono::seconds(5)) || read->status() != STATUS_SUCCESS) {
            read->cancel();
            read->wait(std::chrono::seconds(5));
            return {};
        }
        return ParseRecords(read->output());
    }

    // Issues a FiltOidRequest; returns the completed buffer (empty when the request failed).
    static Bytes Oid(SimDeviceFile& file, const Bytes& request, uint32_t outputLength,
                     NTSTATUS* status = nullptr) {
        Bytes out;
        NTSTATUS s = file.deviceControlSync(FiltConstants::IOCTL_FILT_OID_REQUEST, request.data(),
                                            uint32_t(request.size()), &out, outputLength);
        if (status) *status = s;
        return out;
    }

    static uint32_t PrivateOidOf(SimDeviceFile& file, uint32_t adapterId) {
        Bytes out = Oid(file, OidRequest(adapterId, 0, OID_GEN_SUPPORTED_GUIDS), 24 + 28 * 8);
        uint32_t count = FiltGetU32(out.data(), 12) / 28;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* entry = out.data() + 24 + 28 * i;
            if (std::equal(entry, entry + 16, FiltConstants::PRIVATE_GUID) && (FiltGetU32(entry, 24) & 1))
                return FiltGetU32(entry, 16);
        }
        return 0;
    }

    // Sends a private command; returns the command as the driver left it.
    static Bytes Private(SimDeviceFile& file, uint32_t adapterId, bool set, const Bytes& command,
                         uint32_t* ndisStatus = nullptr, uint32_t extraRoom = 0) {
        uint32_t oid = PrivateOidOf(file, adapterId);
        Bytes request = OidRequest(adapterId, set ? 1 : 0, oid, command);
        Bytes out = Oid(file, request, uint32_t(request.size() + extraRoom));
        if (ndisStatus) *ndisStatus = out.size() >= 24 ? FiltGetU32(out.data(), 20) : 0xFFFFFFFF;
        return out.size() > 24 ? Bytes(out.begin() + 24, out.end()) : Bytes{};
    }

    std::filesystem::path root_;
    bool loaded_ = false;
    SimLowerMiniport* wired_ = nullptr;
    SimLowerMiniport* wireless_ = nullptr;
    std::vector<std::unique_ptr<SimDeviceFile>> files_;
};
