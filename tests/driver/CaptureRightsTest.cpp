// The host opens capture files for its callers, so a caller may only have a file opened that it
// could open for writing itself, and what is checked is what is opened.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "driver/client/PellodurProtocol.h"
#include "driver/host/PellodurConnection.h"
#include "platform/devicesocket/PeerCredentials.h"
#include "tests/driver/DriverFixture.h"

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

TEST_F(CaptureRightsTest, CallerMayOpenOnlyFilesItCouldWrite) {
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
        int fd = devicesocket::PeerCredentials(c.uid, c.uid).openForWriting(c.path.string());
        EXPECT_EQ(fd >= 0, c.allowed) << c.what;
        if (fd >= 0) ::close(fd);
    }
}

// The rows a caller could use against a host with more rights than its own, checked in a process
// of an unprivileged user, which also plays the host: what it makes, the caller may not write.
// Returns the rows that went wrong.
std::string AttackRows(const fs::path& base, uid_t caller) {
    std::string wrong;
    auto dir = [&](const fs::path& path, mode_t mode) {
        fs::create_directories(path);
        ::chmod(path.c_str(), mode);
        return path;
    };
    fs::path pub = dir(base / "pub", 0777), closed = dir(base / "closed", 0755);
    fs::path sub = dir(closed / "sub", 0755), real = dir(pub / "real", 0777);
    fs::create_directory_symlink(sub, pub / "l");
    fs::create_symlink(closed / "new.pcap", pub / "dangling.pcap");
    const struct {
        const char* what;
        std::string path;
        bool allowed;
        fs::path made;  // where the file is when it was opened
    } rows[] = {
        {"a new file where the caller may write", (pub / "a.pcap").string(), true, pub / "a.pcap"},
        {"a plain path the caller may not write", (closed / "a.pcap").string(), false, closed / "a.pcap"},
        {"back up through a link", (pub / "l" / ".." / "owned.pcap").string(), false, closed / "owned.pcap"},
        {"down a link", (pub / "l" / "a.pcap").string(), false, sub / "a.pcap"},
        {"a dangling link", (pub / "dangling.pcap").string(), false, closed / "new.pcap"},
        {"back up through a directory", (real / ".." / "b.pcap").string(), true, pub / "b.pcap"},
        {"a relative path", "pub/c.pcap", false, pub / "c.pcap"},
    };
    for (const auto& row : rows) {
        int fd = devicesocket::PeerCredentials(caller, caller).openForWriting(row.path);
        if (fd >= 0) ::close(fd);
        if ((fd >= 0) != row.allowed || fs::exists(row.made) != row.allowed)
            wrong += std::string(row.what) + (fd >= 0 ? ": opened" : ": refused") +
                     (fs::exists(row.made) ? ", file made; " : ", no file; ");
    }
    return wrong;
}

TEST(CaptureRightsAsUser, LinksAndDotDotLeadNowhereTheCallerMayNotWrite) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path base = fs::temp_directory_path() / ("tamsel-rights-" + std::to_string(::getpid()));
    fs::remove_all(base);
    EXPECT_EXIT(
        {
            fs::create_directories(base);
            // Tests may run as root: the rows are run as nobody.
            if (::geteuid() == 0) {
                (void)!::chown(base.c_str(), 65534, 65534);
                if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            }
            std::string wrong = AttackRows(base, ::geteuid() == CALLER ? CALLER + 1 : CALLER);
            std::fputs(wrong.c_str(), stderr);
            ::_exit(wrong.empty() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "^$");
    fs::remove_all(base);
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
    // Links the caller made in a directory it may write, leading where it may not: through a link
    // and back up with "..", and a dangling link that would be followed into the closed directory.
    fs::path sub = Dir("sub", 0755, closed);
    fs::create_directory_symlink(sub, open / "l");
    fs::create_symlink(closed / "new.pcap", open / "dangling.pcap");
    EXPECT_EQ(capture(open / "l" / ".." / "owned.pcap"), STATUS_ACCESS_DENIED);
    EXPECT_EQ(capture(open / "dangling.pcap"), STATUS_ACCESS_DENIED);
    EXPECT_FALSE(fs::exists(closed / "owned.pcap"));
    EXPECT_FALSE(fs::exists(closed / "new.pcap"));
    EXPECT_EQ(capture(open / "allowed.pcap"), STATUS_SUCCESS);
    EXPECT_EQ(fs::file_size(open / "allowed.pcap"), 24u);
    EXPECT_EQ(capture({}), STATUS_SUCCESS);  // a stop names no file

    caller.shutdown();
    connection.reset();
}

}  // namespace
