#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

#include "platform/base/FailureInjection.h"
#include "platform/lab/Lab.h"
#include "platform/lab/LabCallbackGate.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

using namespace std::chrono_literals;

class LabTest : public testing::Test {
protected:
    void SetUp() override {
        lab::clearCalls();
        base::clearFailures();
        lab::Lab::instance().setManual(true);
    }
    void TearDown() override {
        while (lab::Lab::instance().running()) lab::Lab::instance().release();
        lab::Lab::instance().setManual(false);
        base::clearFailures();
    }
    void start(const LabBuilder& builder) {
        builder.writeTo(m_home.file("lab.xml"));
        std::string error;
        ASSERT_TRUE(lab::Lab::instance().acquire(&error)) << error;
    }

    lab::Lab& lab() { return lab::Lab::instance(); }
    TempHome m_home{"lab"};
};

TEST_F(LabTest, ManualClockRunsActionsOnlyWhenPumpedAndInTheirOrder) {
    start(LabBuilder());
    std::vector<std::string> ran;
    lab().schedule(30, [&] { ran.push_back("c@" + std::to_string(lab().now())); });
    lab().schedule(10, [&] { ran.push_back("a@" + std::to_string(lab().now())); });
    lab().schedule(10, [&] { ran.push_back("b@" + std::to_string(lab().now())); });
    lab().schedule(0, [&] {
        ran.push_back("now");
        lab().schedule(0, [&] { ran.push_back("then"); });
    });
    EXPECT_TRUE(ran.empty());

    lab().pump();
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "then"}));
    lab().advance(25);
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "then", "a@10", "b@10"}));
    lab().advance(5);
    EXPECT_EQ(ran.back(), "c@30");
    EXPECT_EQ(lab().now(), 30);
    EXPECT_TRUE(lab().onLabThread());
}

TEST_F(LabTest, AtCommandsRunAtTheirTimeAndListenersHearTheChange) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").at(100, "remove adapter friendly=eth0");
    start(builder);
    std::vector<std::string> heard;
    int id = lab().addListener([&](const std::string& element) { heard.push_back(element); });

    lab().advance(99);
    EXPECT_NE(lab().world().find("adapter", "eth0"), nullptr);
    lab().advance(1);
    EXPECT_EQ(lab().world().find("adapter", "eth0"), nullptr);
    EXPECT_EQ(heard, std::vector<std::string>{"adapter"});
    lab().removeListener(id);
}

// The lab starts with the first stand-in a program loads: a timed command of one that starts later
// waits for it, keeps its order with the others and then runs on the lab's clock.
TEST_F(LabTest, ATimedCommandWaitsForTheStandInThatAddsIt) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0")
        .at(0, "link eth0 up")
        .at(5, "link eth0 down")
        .at(10, "remove adapter friendly=eth0");
    start(builder);
    // The command stays in the lab after the test: what it records outlives the test's frame.
    auto ran = std::make_shared<std::vector<std::string>>();
    lab().advance(20);
    // The lab's own command is not held up by the ones still waiting.
    EXPECT_EQ(lab().world().find("adapter", "eth0"), nullptr);

    lab().addCommand("link", [ran](const std::vector<std::string>& words, std::string*) -> std::string {
        ran->push_back(words[2] + "@" + std::to_string(lab::Lab::instance().now()));
        return "";
    });
    EXPECT_TRUE(ran->empty());
    lab().pump();
    EXPECT_EQ(*ran, (std::vector<std::string>{"up@20", "down@20"}));
}

TEST_F(LabTest, CommandsChangeTheWorldAsTheFileWouldAndSayWhyNot) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0").add("logon", {{"user", "alice"}});
    start(builder);
    const std::string second = LabBuilder::guid(2);
    std::vector<std::pair<std::string, std::string>> table;
    table.emplace_back("", "error: no command");
    table.emplace_back("reboot", "error: unknown command reboot");
    table.emplace_back("add adapter name=" + second + " friendly=wlan0 media=wireless", "ok");
    table.emplace_back("add adapter name=" + second, "error: duplicate adapter name \"" + second + "\"");
    table.emplace_back("add adapter friendly=eth9", "error: <adapter> without name");
    table.emplace_back("add router name=x", "error: unknown element router");
    table.emplace_back("add accessPoint ssid=\"guest net\" bssid=02:aa:00:00:00:09 adapter=wlan9",
                       "error: adapter \"wlan9\" names no adapter");
    table.emplace_back("add accessPoint ssid=\"guest net\" bssid=02:aa:00:00:00:09 adapter=wlan0", "ok");
    table.emplace_back("set adapter friendly=eth0 link=down speed=100", "ok");
    table.emplace_back("set adapter friendly=eth0 media=radio",
                       "error: bad value \"radio\" of media: not one of wired wireless");
    table.emplace_back("set adapter friendly=eth0 friendly=eth1", "error: friendly cannot change");
    table.emplace_back("set adapter friendly=eth7 link=up", "error: no adapter eth7");
    table.emplace_back("set logon domain=CORP", "ok");
    table.emplace_back("remove dhcp on=eth0", "error: no dhcp eth0");
    table.emplace_back("remove certificateStore", "error: <certificateStore> cannot be addressed");
    table.emplace_back("remove adapter name=" + second, "ok");
    for (const auto& [line, answer] : table) EXPECT_EQ(lab().command(line), answer) << line;

    const lab::Element* eth0 = lab().world().find("adapter", "eth0");
    ASSERT_NE(eth0, nullptr);
    EXPECT_EQ(eth0->text("link"), "down");
    EXPECT_EQ(eth0->integer("speed"), 100);
    EXPECT_EQ(lab().world().find("accessPoint", "02:aa:00:00:00:09")->text("ssid"), "guest net");
    EXPECT_EQ(lab().world().all("logon")[0].text("domain"), "CORP");
    EXPECT_EQ(lab().world().find("adapter", second), nullptr);
}

TEST_F(LabTest, FailMakesTheNextCallsFailAndCallsListsThemWithSecretsByLength) {
    start(LabBuilder());
    EXPECT_EQ(lab().command("fail qxPasswordCreate -4 2"), "ok");
    EXPECT_EQ(lab().command("fail qxExit -1 always"), "ok");
    EXPECT_EQ(lab().command("fail qxExit x"), "error: code: not a number");
    for (int i = 0; i < 3; ++i) {
        lab::Call call("qxPasswordCreate", "&password, " + lab::secret(6) + ", 6");
        if (!call.injected()) call.finish(0);
    }
    for (int i = 0; i < 3; ++i) {
        lab::Call call("qxExit");
        EXPECT_TRUE(call.injected());
    }
    { lab::Call call("qxErrorString", lab::quoted("x")); }
    EXPECT_EQ(lab().command("calls"),
              "qxPasswordCreate(&password, <secret:6>, 6) = -4\n"
              "qxPasswordCreate(&password, <secret:6>, 6) = -4\n"
              "qxPasswordCreate(&password, <secret:6>, 6) = 0\n"
              "qxExit() = -1\nqxExit() = -1\nqxExit() = -1\n"
              "qxErrorString(\"x\") = 0\nok");
    EXPECT_EQ(lab().command("fail clear"), "ok");
    EXPECT_FALSE(lab::Call("qxExit").injected());
    EXPECT_EQ(lab().command("calls clear"), "ok");
    EXPECT_EQ(lab().command("calls"), "ok");
}

TEST_F(LabTest, ALabThatCannotBeReadStaysStopped) {
    std::ofstream(m_home.file("lab.xml")) << "<lab>\n<adapter name=\"eth0\"/>\n</lab>\n";
    std::string error;
    EXPECT_FALSE(lab().acquire(&error));
    EXPECT_EQ(error, m_home.file("lab.xml") + ":2: bad value \"eth0\" of name: not a GUID in braces");
    EXPECT_FALSE(lab().running());
}

TEST_F(LabTest, UsersShareOneLabUntilTheLastReleases) {
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    start(builder);
    std::string error;
    ASSERT_TRUE(lab().acquire(&error));
    lab().release();
    EXPECT_TRUE(lab().running());
    EXPECT_NE(lab().world().find("adapter", "eth0"), nullptr);
    lab().release();
    EXPECT_FALSE(lab().running());
    EXPECT_TRUE(lab().world().all("adapter").empty());
}

// A client of run/lab: sends lines, reads answers with a deadline.
class LabClient {
public:
    explicit LabClient(const std::string& path) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~LabClient() { ::close(m_fd); }
    bool connected() const { return m_connected; }
    void send(const std::string& text) {
        ASSERT_EQ(::write(m_fd, text.data(), text.size()), ssize_t(text.size()));
    }
    std::string readLine() {
        auto end = std::chrono::steady_clock::now() + 10s;
        std::string line;
        while (std::chrono::steady_clock::now() < end) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, 100) <= 0) continue;
            char c;
            if (::read(m_fd, &c, 1) != 1) return line + "<eof>";
            if (c == '\n') return line;
            line.push_back(c);
        }
        return line + "<timeout>";
    }

private:
    int m_fd;
    bool m_connected = false;
};

TEST_F(LabTest, RunLabAnswersEachLineAndGoesAwayWithTheLab) {
    lab().setManual(false);
    // A socket file of an earlier run that ended without clean-up.
    ::mkdir(m_home.file("run").c_str(), 0755);
    std::ofstream(m_home.file("run/lab")) << "stale";
    LabBuilder builder;
    builder.wiredAdapter(1, "eth0");
    start(builder);

    struct stat info = {};
    ASSERT_EQ(::stat(m_home.file("run/lab").c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    LabClient client(m_home.file("run/lab"));
    ASSERT_TRUE(client.connected());
    client.send("set adapter friendly=eth0 link=down\r\nbogus\ncalls\n");
    EXPECT_EQ(client.readLine(), "ok");
    EXPECT_EQ(client.readLine(), "error: unknown command bogus");
    EXPECT_EQ(client.readLine(), "ok");
    EXPECT_EQ(lab().world().find("adapter", "eth0")->text("link"), "down");

    lab().release();
    EXPECT_NE(::access(m_home.file("run/lab").c_str(), F_OK), 0);
}

TEST_F(LabTest, ThreadedActionsRunOnTheLabThreadOnTime) {
    lab().setManual(false);
    start(LabBuilder());
    std::promise<std::pair<bool, int64_t>> done;
    auto started = std::chrono::steady_clock::now();
    lab().schedule(50, [&] { done.set_value({lab().onLabThread(), lab().now()}); });
    auto result = done.get_future();
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    auto [onLabThread, at] = result.get();
    EXPECT_TRUE(onLabThread);
    EXPECT_FALSE(lab().onLabThread());
    EXPECT_GE(at, 50);
    // The lab's clock counts whole milliseconds from a point inside one: on the real clock the
    // action may come up to a millisecond before 50 ms are over, never earlier.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 49ms);
}

TEST(CallbackGate, NothingIsDeliveredOnceClosedAndCloseWaitsForTheCallbackInProgress) {
    lab::CallbackGate gate;
    int delivered = 0;
    EXPECT_FALSE(gate.deliver([&] { ++delivered; }));
    gate.open();
    EXPECT_TRUE(gate.deliver([&] { ++delivered; }));

    // Closed from inside its own callback: no wait for itself.
    EXPECT_TRUE(gate.deliver([&] { gate.close(); }));
    EXPECT_FALSE(gate.deliver([&] { ++delivered; }));
    EXPECT_EQ(delivered, 1);

    gate.open();
    std::promise<void> inside;
    std::promise<void> finish;
    std::atomic<bool> finished{false};
    std::thread callbackThread([&] {
        gate.deliver([&] {
            inside.set_value();
            finish.get_future().wait();
            finished = true;
        });
    });
    inside.get_future().wait();
    std::thread closer([&] {
        gate.close();
        EXPECT_TRUE(finished.load());
    });
    finish.set_value();
    closer.join();
    callbackThread.join();
    EXPECT_FALSE(gate.isOpen());
}

}  // namespace
}  // namespace tamsel::test
