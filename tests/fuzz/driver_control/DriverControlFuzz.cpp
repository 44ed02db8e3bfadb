// The driver host's control device as a local caller speaks to it: the input is what the caller
// writes on its socket (request frames, each a header and its input), served by one connection of
// the host over the driver loaded on a wired and a wireless simulated adapter. Capture-file
// requests are left out: they create files where the caller may write, which a fuzzer must not do.
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "driver/Filt.h"
#include "driver/FiltInterface.h"
#include "driver/client/PellodurProtocol.h"
#include "driver/host/PellodurConnection.h"
#include "platform/ndis/NdisEnvironment.h"
#include "platform/registry/Registry.h"
#include "tests/fuzz/FuzzEnvironment.h"

namespace {

using P = PellodurConstants;
using ndissim::NdisEnvironment;

void addAdapter(const std::u16string& device, const std::u16string& instance, const std::string& upper,
                bool wireless) {
    auto& lower = NdisEnvironment::instance().addLowerAdapter(device, instance, NdisMedium802_3);
    lower.setAnswerU32(OID_GEN_MEDIA_CONNECT_STATUS, NdisMediaStateConnected);
    if (wireless) {
        lower.setAnswerU32(OID_GEN_PHYSICAL_MEDIUM, NdisPhysicalMediumWirelessLan);
        lower.setAnswer(OID_802_11_BSSID, {0x02, 0xaa, 0, 0, 0, 1});
    }
    registry::HKEY key = nullptr;
    const std::string path = ndissim::BindingConfigurationPath(device);
    if (registry::RegCreateKeyEx(registry::HKEY_LOCAL_MACHINE, path.c_str(), 0, registry::KEY_ALL_ACCESS, &key,
                                 nullptr) != 0)
        __builtin_trap();
    registry::RegSetValueEx(key, "UpperBindings", registry::REG_SZ,
                            reinterpret_cast<const uint8_t*>(upper.c_str()), uint32_t(upper.size() + 1));
    registry::RegCloseKey(key);
}

// Whether any frame the host would serve asks for a capture file; the host stops at the first
// frame that does not add up, and so does this walk.
bool asksForCaptureFile(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    while (size - at >= P::REQUEST_HEADER_LENGTH) {
        const std::uint8_t* header = data + at;
        const uint32_t length = FiltGetU32(header, P::REQUEST_LENGTH);
        const uint32_t inputLength = FiltGetU32(header, P::REQUEST_INPUT_LENGTH);
        if (inputLength > P::MAX_BUFFER_LENGTH || length != P::REQUEST_HEADER_LENGTH + inputLength) return false;
        if (FiltGetU32(header, P::REQUEST_KIND) == P::KIND_DEVICE_CONTROL &&
            FiltGetU32(header, P::REQUEST_CODE) == FiltConstants::IOCTL_FILT_CAPTURE_FILE)
            return true;
        at += length;
        if (at > size) return false;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    const std::string& root = tamsel::fuzz::fuzzRoot();
    ::setenv("TAMSEL_HOME", root.c_str(), 1);
    registry::RegSetStoreFile(root + "/registry");
    NdisEnvironment::instance().reset();
    addAdapter(u"\\Device\\{WIRED-0001}", u"Sim Wired Adapter", "\\Device\\{VWIRED-0001}", false);
    addAdapter(u"\\Device\\{RADIO-0002}", u"Sim Radio", "\\Device\\{VRADIO-0002}", true);
    if (DriverEntry(nullptr, nullptr) != STATUS_SUCCESS) __builtin_trap();
    NdisEnvironment::instance().bindAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The socket's buffer takes the whole input before the host reads any of it.
    if (size > 65536 || asksForCaptureFile(data, size)) return 0;
    devicesocket::DeviceConnection host;
    devicesocket::DeviceConnection caller;
    if (!devicesocket::DeviceConnection::pair(host, caller)) __builtin_trap();
    auto connection = std::make_unique<PellodurConnection>(std::move(host), 91,
                                                           devicesocket::PeerCredentials(::getuid(), ::getgid()));
    connection->start();
    // The host hangs up at the first frame that does not add up, which may fail this write.
    if (size > 0) caller.writeFull(data, size);
    // The caller hangs up: the host serves what was written, then winds the handle down.
    caller.close();
    while (!connection->finished()) std::this_thread::yield();
    connection.reset();
    return 0;
}
