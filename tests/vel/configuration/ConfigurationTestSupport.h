#pragma once
// A run-time of its own for each test of the configuration model (no object may outlive the test,
// no assertion may fail unless the test takes it), with fake network and VPN behaviours and a
// recording matchmaker installed, and the log lines written since a mark.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/FakeConfigurationMatchmaker.h"
#include "tests/support/FakeNetworkBehavior.h"
#include "tests/support/FakeVpnBehavior.h"
#include "tests/vel/multithread/QueueTestSupport.h"
#include "vel/adapter/AdapterConstants.h"
#include "vel/configuration/NetworkGroup.h"
#include "vel/network/Network.h"

namespace tamsel::test {

class ConfigurationTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        setLogLevelMask(LogConstants::INITIAL_MASK);
        networks.emplace();
        vpns.emplace();
        matchmaker.emplace();
        markLog();
    }
    void TearDown() override {
        matchmaker.reset();
        vpns.reset();
        networks.reset();
        RuntimeTest::TearDown();
    }

    // A wired (or wireless) network set up as a reader would.
    static Network makeNetwork(const char* name, std::int32_t mediaType = AdapterConstants::MEDIA_TYPE_8023) {
        Network network = Network::create(name);
        network.setMediaType(mediaType);
        return network;
    }
    static NetworkGroup makeGroup(const char* name, std::initializer_list<Network> members,
                                  bool global = false) {
        NetworkGroup group = NetworkGroup::create(name);
        group.setGlobal(global);
        for (const Network& network : members) group.addNetwork(network);
        return group;
    }

    void markLog() { m_mark = readLines(root.log()).size(); }
    // The messages (without their headers) logged since the mark, that contain the part.
    std::vector<std::string> logged(const std::string& part = "") {
        std::vector<std::string> lines = readLines(root.log());
        std::vector<std::string> found;
        for (size_t i = m_mark; i < lines.size(); ++i) {
            size_t tid = lines[i].find("[tid=");
            size_t start = tid == std::string::npos ? std::string::npos : lines[i].find("]: ", tid);
            std::string message = start == std::string::npos ? lines[i] : lines[i].substr(start + 3);
            if (message.find(part) != std::string::npos) found.push_back(message);
        }
        return found;
    }

    std::optional<FakeNetworks> networks;
    std::optional<FakeVpns> vpns;
    std::optional<FakeConfigurationMatchmaker> matchmaker;

private:
    size_t m_mark = 0;
};

}  // namespace tamsel::test
