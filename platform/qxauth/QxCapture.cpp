// Capture of a port's EAPOL frames into a pcap file, as the library's capture switch writes it.
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/lab/Lab.h"
#include "platform/qxauth/QxLibrary.h"
#include "platform/qxauth/QxPorts.h"

namespace qxauth {

namespace {

struct CaptureFile {
    std::FILE* file = nullptr;
    long written = 0;
    long limit = 0;
};

std::mutex CaptureMutex;

std::map<std::string, CaptureFile>& captures() {
    static std::map<std::string, CaptureFile> files;
    return files;
}

void put32(std::vector<uint8_t>* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void put16(std::vector<uint8_t>* bytes, uint16_t value) {
    bytes->push_back(static_cast<uint8_t>(value));
    bytes->push_back(static_cast<uint8_t>(value >> 8));
}

bool write(CaptureFile& capture, const std::vector<uint8_t>& bytes) {
    if (capture.written + static_cast<long>(bytes.size()) > capture.limit) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), capture.file) != bytes.size()) return false;
    std::fflush(capture.file);
    capture.written += static_cast<long>(bytes.size());
    return true;
}

}  // namespace

void captureFrame(const std::string& portName, const std::vector<uint8_t>& frame) {
    std::lock_guard<std::mutex> lock(CaptureMutex);
    auto it = captures().find(portName);
    if (it == captures().end()) return;
    int64_t now = lab::Lab::instance().now();
    std::vector<uint8_t> record;
    put32(&record, static_cast<uint32_t>(now / 1000));
    put32(&record, static_cast<uint32_t>((now % 1000) * 1000));
    put32(&record, static_cast<uint32_t>(frame.size()));
    put32(&record, static_cast<uint32_t>(frame.size()));
    record.insert(record.end(), frame.begin(), frame.end());
    write(it->second, record);
}

}  // namespace qxauth

using namespace qxauth;

int qxLogSetPcapFile(const char* portName, const char* fileName, int maxBytes) {
    lab::Call call("qxLogSetPcapFile",
                   lab::quoted(portName) + ", " + lab::quoted(fileName) + ", " + std::to_string(maxBytes));
    if (call.injected()) return call.result();
    if (portName == nullptr) return call.finish(QX_ERR_INV_PARAM);
    if (!initialized()) return call.finish(QX_ERR_NOT_INITIALIZED);
    {
        std::lock_guard<std::recursive_mutex> lock(lab::Lab::instance().mutex());
        if (adapterOf(portName) == nullptr) return call.finish(QX_ERR_NOT_FOUND);
    }
    std::lock_guard<std::mutex> lock(CaptureMutex);
    auto it = captures().find(portName);
    if (fileName == nullptr) {
        if (it != captures().end()) {
            std::fclose(it->second.file);
            captures().erase(it);
        }
        return call.finish(QX_OK);
    }
    if (it != captures().end()) return call.finish(QX_ERR_ALREADY_SET);
    if (maxBytes < 24) return call.finish(QX_ERR_INV_PARAM);
    CaptureFile capture;
    capture.file = std::fopen(fileName, "wb");
    if (capture.file == nullptr) return call.finish(QX_ERR_FAILURE);
    capture.limit = maxBytes;
    // The pcap header: version 2.4, frames of up to 65535 bytes, Ethernet.
    std::vector<uint8_t> header;
    put32(&header, 0xA1B2C3D4u);
    put16(&header, 2);
    put16(&header, 4);
    put32(&header, 0);
    put32(&header, 0);
    put32(&header, 65535);
    put32(&header, 1);
    if (!write(capture, header)) {
        std::fclose(capture.file);
        return call.finish(QX_ERR_FAILURE);
    }
    captures().emplace(portName, capture);
    return call.finish(QX_OK);
}
