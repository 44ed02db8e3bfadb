// The host opens capture files for its callers, so a caller may only name a file it could open
// for writing itself.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "DriverFixture.h"
#include "driver/client/PellodurProtocol.h"
#include "driver/host/PellodurConnection.h"
#include "platform/devicesocket/PeerCredentials.h"

namespace {

namespace fs = std::filesystem;
constexpr uid_t CALLER = 4321;

class CaptureRightsTest : public DriverFixture {
protected:
    fs::path Dir(const std::string& name, mode_t mode, const fs::path& under = {}) {
        fs::path path = (under.empty() ? root_ : under) / name;
        fs::create_directories(path);
        ::chmod(path.c_str(), mode);
        return path;
    }
    fs::path File(const fs::path& path, mode_t mode) {
        std::ofstream(path) << "x";
        ::chmod(path.c_str(), mode);
        return path;
    }
};

TEST_F(CaptureRightsTest, CallerMayNameOnlyFilesItCouldWrite) {
    bool root = ::geteuid() == 0;
    ::chmod(root_.c_str(), 0755);
    fs::path open = Dir("open", 0777), closed = Dir("closed", 0755), hidden = Dir("hidden", 0700);
    fs::path insideHidden = Dir("inner", 0777, hidden);
    fs::path ownDir = Dir("own", 0700);
    if (root) (void)!::chown(ownDir.c_str(), CALLER, CALLER);
    fs::path groupFile = File(closed / "group.pcap", 0664);
    if (root) (void)!::chown(groupFile.c_str(), 0, CALLER);
    struct Case {
        const char* what;
        uid_t uid;
        fs::path path;
        bool allowed;
        bool needsRoot;
    } cases[] = {
        {"new file in a directory all may write", CALLER, open / "a.pcap", true, false},
        {"new file in a directory only its owner writes", CALLER, closed / "a.pcap", false, false},
        {"new file below a directory the caller cannot search", CALLER, insideHidden / "a.pcap", false,
         false},
        {"existing file only its owner writes", CALLER, File(open / "theirs.pcap", 0644), false, false},
        {"existing file all may write", CALLER, File(closed / "shared.pcap", 0666), true, false},
        {"existing file of the caller's group", CALLER, groupFile, true, true},
        {"new file in the caller's own directory", CALLER, ownDir / "a.pcap", true, true},
        {"a directory", CALLER, open, false, false},
        {"a directory that does not exist", CALLER, open / "missing" / "a.pcap", false, false},
        {"the empty path", CALLER, fs::path(), false, false},
        {"root, anywhere that exists", 0, insideHidden / "a.pcap", true, false},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && !root) continue;
        EXPECT_EQ(devicesocket::PeerCredentials(c.uid, c.uid).mayCreateOrWrite(c.path.string()), c.allowed)
            << c.what;
    }
}

// A connection of the host spoken to over a socket pair, as a caller with other rights.
TEST_F(CaptureRightsTest, HostRefusesACaptureTheCallerCouldNotOpen) {
    LoadWithTwoAdapters();
    ::chmod(root_.c_str(), 0755);
    fs::path open = Dir("open", 0777), closed = Dir("closed", 0755);
    devicesocket::DeviceConnection host;
    devicesocket::DeviceConnection caller;
    ASSERT_TRUE(devicesocket::DeviceConnection::pair(host, caller));
    auto connection = std::make_unique<PellodurConnection>(std::move(host), 91,
                                                           devicesocket::PeerCredentials(CALLER, CALLER));
    connection->start();

    using P = PellodurConstants;
    auto readReply = [&]() {
        uint8_t header[P::REPLY_HEADER_LENGTH];
        if (!caller.readFull(header, sizeof(header))) return uint32_t(0xFFFFFFFF);
        uint32_t length = FiltGetU32(header, P::REPLY_LENGTH);
        Bytes rest(length - P::REPLY_HEADER_LENGTH);
        caller.readFull(rest.data(), rest.size());
        return FiltGetU32(header, P::REPLY_STATUS);
    };
    ASSERT_EQ(readReply(), STATUS_SUCCESS);  // the create

    uint32_t id = 1;
    auto capture = [&](const fs::path& path) {
        std::string text = path.string();
        std::u16string wide(text.begin(), text.end());
        Bytes input = Cat({U32(1), U32(0)});
        if (!text.empty()) {
            const auto* raw = reinterpret_cast<const uint8_t*>(wide.c_str());
            input.insert(input.end(), raw, raw + (wide.size() + 1) * 2);
        }
        Bytes frame(P::REQUEST_HEADER_LENGTH);
        FiltPutU32(frame.data(), P::REQUEST_LENGTH, uint32_t(frame.size() + input.size()));
        FiltPutU32(frame.data(), P::REQUEST_KIND, P::KIND_DEVICE_CONTROL);
        FiltPutU32(frame.data(), P::REQUEST_ID, id++);
        FiltPutU32(frame.data(), P::REQUEST_CODE, FiltConstants::IOCTL_FILT_CAPTURE_FILE);
        FiltPutU32(frame.data(), P::REQUEST_INPUT_LENGTH, uint32_t(input.size()));
        frame.insert(frame.end(), input.begin(), input.end());
        EXPECT_TRUE(caller.writeFull(frame.data(), frame.size()));
        return readReply();
    };

    EXPECT_EQ(capture(closed / "denied.pcap"), STATUS_ACCESS_DENIED);
    EXPECT_FALSE(fs::exists(closed / "denied.pcap"));
    EXPECT_EQ(capture(open / "allowed.pcap"), STATUS_SUCCESS);
    EXPECT_EQ(fs::file_size(open / "allowed.pcap"), 24u);
    EXPECT_EQ(capture({}), STATUS_SUCCESS);  // a stop names no file

    caller.shutdown();
    connection.reset();
}

}  // namespace
