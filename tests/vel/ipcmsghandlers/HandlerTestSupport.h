#pragma once
// The request handlers over a real configuration: the administrator's sample read into the
// model, started, with fake network and VPN behaviours and a recording matchmaker, the user's
// file written into the test's root as the service writes it, and one client asking.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/runtime/lum/LumTestSupport.h"
#include "tests/support/FakeConfigurationMatchmaker.h"
#include "tests/support/FakeNetworkBehavior.h"
#include "tests/support/FakeVpnBehavior.h"
#include "tests/vel/ipcmsghandlers/ConnApiTestSupport.h"
#include "vel/exception/FileIOException.h"
#include "vel/network/ScanList.h"
#include "vel/reference/HandleOf.h"
#include "vel/xml/Xml_Configuration.h"
#include "vel/xml/Xml_DistributionPackage.h"

namespace tamsel::test {

inline std::string sampleConfigurationText() {
    std::ifstream in(TAMSEL_SAMPLE_CONFIGURATION, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class HandlerTest : public ConnApiTest {
protected:
    void SetUp() override {
        ConnApiTest::SetUp();
        networks.emplace();
        vpns.emplace();
        matchmaker.emplace();
        scanList.emplace(ScanList::create());
        XmlDocument document;
        const std::string text = sampleConfigurationText();
        document.parse(text.data(), static_cast<int>(text.size()));
        configuration = Xml_Configuration::readAdministratorFile(document.rootElement());
        ASSERT_FALSE(configuration.isNull());
        configuration.start();
        engine.activeConfiguration = configuration;
        engine.writeUser = [this] { writeUserFile(); };
        std::filesystem::create_directories(systemFolder());
        start();
        client = connect();
        networks->takeCalls();
        matchmaker->takeCalls();
    }
    void TearDown() override {
        engine.activeConfiguration = Configuration();
        engine.heldAdapters.clear();
        configuration.stop();
        configuration.impl()->clearReferences();
        configuration.reset();
        scanList.reset();
        client.reset();
        // The last network state it keeps holds a network, which must go before the fakes do.
        communication.impl()->clearReferences();
        communication.reset();
        matchmaker.reset();
        vpns.reset();
        networks.reset();
        Network::setDefaultConnectionTimeout(NetworkImpl::INITIAL_DEFAULT_CONNECTION_TIMEOUT);
        Network::setDefaultAssociationTimeout(NetworkImpl::INITIAL_DEFAULT_ASSOCIATION_TIMEOUT);
        ConnApiTest::TearDown();
    }

    std::string systemFolder() const { return root.path() + "/system"; }
    std::string userFile() const { return systemFolder() + "/userConfiguration.xml"; }
    std::string userFileText() const { return fileExists(userFile()) ? readText(userFile()) : ""; }

    // What the service writes as the user's file, or a failed write as the file layer raises it.
    void writeUserFile() {
        if (userFileFails)
            throw FileIOException(__FILE__, __LINE__, FileIOException::CREATE, Unicode(userFile().c_str()));
        XmlDocument document;
        Xml_DistributionPackage::Write(document, Xml_DistributionPackage::recordOf(configuration),
                                       Xml_DistributionPackage::USER_CONFIGURATION);
        ByteArray text = document.dump();
        std::ofstream(userFile(), std::ios::binary).write(text.text(), text.length());
    }

    // Sends the request element and returns what the client got back.
    std::vector<std::string> sendAll(const std::string& name, const std::string& children = "") {
        receive(client, trayEnvelope(element(name, ++sequence, children)));
        return recorder(client).take();
    }
    // The one answer to the request.
    SentMessage ask(const std::string& name, const std::string& children = "") {
        std::vector<std::string> replies = sendAll(name, children);
        EXPECT_EQ(replies.size(), 1u) << name;
        return SentMessage(replies.empty() ? trayEnvelope("<none/>") : replies.back());
    }
    // The fault's code, or "reply" for a reply.
    std::string outcome(const std::string& name, const std::string& children = "") {
        SentMessage answer = ask(name, children);
        return answer.name() == "Fault" ? answer.detail("errorCode") : "reply";
    }

    NetworkGroup group(const char* name) {
        NetworkGroupProxy found = configuration.findGroup(name);
        return found.exists() ? found.networkGroup() : NetworkGroup();
    }
    // The names of a group's networks in their order.
    std::vector<std::string> namesIn(const char* groupName) {
        std::vector<std::string> names;
        NetworkGroup found = group(groupName);
        if (found.isNull()) return names;
        for (const Reference& held : found.networkVector().snapshot())
            names.emplace_back(handleOf<Network>(held.m).name().text());
        return names;
    }
    Network network(const char* groupName, const char* networkName) {
        NetworkGroup found = group(groupName);
        return found.isNull() ? Network() : found.findNetwork(networkName);
    }

    std::optional<FakeNetworks> networks;
    std::optional<FakeVpns> vpns;
    std::optional<FakeConfigurationMatchmaker> matchmaker;
    std::optional<ScanList> scanList;
    Configuration configuration;
    Connection client;
    bool userFileFails = false;
    int sequence = 100;
};

// A tag with its text, as the tray program writes a child.
inline std::string tag(const std::string& name, const std::string& text) {
    return "<tamsel:" + name + ">" + text + "</tamsel:" + name + ">";
}

}  // namespace tamsel::test
