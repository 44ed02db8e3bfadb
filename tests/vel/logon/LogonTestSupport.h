#pragma once
// The logon machine in its engine setting: a configuration in force whose networks and VPN manager
// record what they hear (the office group's Office and Lab, the global Everywhere), a tray program
// whose connection records what the service sends, and a service status counting its reports.
#include <optional>
#include <string>
#include <vector>

#include "tests/vel/configuration/ConfigurationTestSupport.h"
#include "tests/vel/ipcmsghandlers/ConnApiTestSupport.h"
#include "vel/configuration/ActiveConfiguration.h"
#include "vel/configuration/ConnectionSettings.h"
#include "vel/logon/LogonStateMachine.h"
#include "vel/multithread/QuitSignal.h"
#include "vel/xmlconnectionapi/ConnApiElements.h"

namespace tamsel::test {

class RecordingServiceStatusImpl : public ReferenceImpl, public ServiceStatusInterface {
public:
    REFERENCE_IMPL_FORWARDS
    void reportServiceRunning() override { ++reports; }
    int reports = 0;
};

class LogonTest : public ConfigurationTest {
protected:
    static constexpr std::int32_t BEFORE = ConnectionSettings::BEFORE_USER_LOGON;
    static constexpr std::int32_t AFTER = ConnectionSettings::AFTER_USER_LOGON;

    void SetUp() override {
        ConfigurationTest::SetUp();
        quit = QuitSignal::Create();
        communication = ClientCommunication::create();
        tray = recordingConnection();
        communication.impl()->connectionStateChanged(tray, ConnectionConstants::CONNECTED);
        status = new RecordingServiceStatusImpl;
    }
    void TearDown() override {
        leave();
        communication.impl()->clearReferences();
        communication.reset();
        tray.reset();
        quit.reset();
        status->release();
        ConfigurationTest::TearDown();
    }

    // A configuration of that behaviour at logon, not yet in force; its networks' names begin
    // with the prefix.
    Configuration makeConfiguration(std::int32_t behavior) {
        Configuration made = Configuration::create("corp");
        made.addGroup(makeGroup(
            "Office", {makeNetwork((prefix + "Office").c_str()), makeNetwork((prefix + "Lab").c_str())}));
        made.addGroup(makeGroup("", {makeNetwork((prefix + "Everywhere").c_str())}, true));
        made.setConnectionSettings(ConnectionSettings::create(behavior, 60, 1));
        return made;
    }

    // The service's start: the active configuration and the logon machine following it, then the
    // first configuration read, with the given behaviour at logon, taken and started.
    void enter(std::int32_t behavior) {
        ActiveConfigurationImpl* created = ActiveConfigurationImpl::Create();
        active = ActiveConfiguration();
        created->release();
        machine = LogonStateMachine::create(status);
        active->addSubscriber(machine->asConfigurationSubscriber());
        takeOver(makeConfiguration(behavior));
    }

    // A configuration read comes in force, in the active configuration's order: the old one
    // stopped and let go, the followers told, the new one started.
    void takeOver(const Configuration& next) {
        ActiveConfigurationImpl* impl = active->impl();
        if (impl->m_configurationProxy.exists()) {
            Configuration previous = impl->m_configurationProxy.configuration();
            previous.stop();
            previous.impl()->clearReferences();
        }
        configuration = next;
        impl->m_configurationProxy.setConfiguration(configuration);
        impl->notifyConfigurationChanged();
        configuration.start();
    }

    void leave() {
        if (active) {
            active->stop();
            active.reset();
        }
        configuration.reset();
        if (machine) {
            if (!machine->isNull()) machine->impl()->clearReferences();
            machine.reset();
        }
    }

    // The network of the configuration in force with the prefix and that name.
    Network network(const char* name) {
        for (const Reference& element : configuration.allNetworks().snapshot()) {
            Network n = handleOf<Network>(element.m);
            if (n.name() == Ascii((prefix + name).c_str())) return n;
        }
        ADD_FAILURE() << "no network " << name;
        return {};
    }
    // The office network's access moves on; the configuration follows.
    void publish(std::int32_t accessState) { networks->of(network("Office")).publish(accessState); }
    void connectOffice() {
        publish(3);
        publish(4);
    }

    // Forgets what was recorded so far.
    void forget() {
        networks->takeCalls();
        vpns->takeCalls();
        recorder(tray).take();
        status->reports = 0;
        markLog();
    }
    // The values of the "preLogonDone" events the tray program got since the last take.
    std::vector<int> preLogonDone() { return preLogonDoneIn(recorder(tray).take()); }
    // The values of the "preLogonDone" events among the messages.
    static std::vector<int> preLogonDoneIn(const std::vector<std::string>& messages) {
        std::vector<int> values;
        for (const std::string& text : messages) {
            SentMessage message(text);
            if (message.name() != "logonEvent") continue;
            EXPECT_EQ(message.child(ConnApiElements::EVENT_TYPE), "preLogonDone");
            values.push_back(std::stoi(message.child(ConnApiElements::LOGON_ATTEMPT_ID)));
        }
        return values;
    }
    // What every network heard, in the configuration's order.
    std::vector<std::string> everyNetwork(std::int32_t request) const {
        std::vector<std::string> calls;
        for (const char* name : {"Office", "Lab", "Everywhere"})
            calls.push_back("ssoRequest " + std::to_string(request) + " " + prefix + name);
        return calls;
    }

    std::string prefix;
    QuitSignal quit;
    ClientCommunication communication;
    Connection tray;
    RecordingServiceStatusImpl* status = nullptr;
    std::optional<ActiveConfiguration> active;
    Configuration configuration;
    // Empty until made: a default handle binds to the singleton.
    std::optional<LogonStateMachine> machine;
};

}  // namespace tamsel::test
