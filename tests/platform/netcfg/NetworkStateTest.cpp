#include <gtest/gtest.h>

#include "platform/netcfg/NetCfg.h"
#include "platform/netcfg/NetworkState.h"

using netcfg::NetworkState;

namespace {

const char* RICH_STATE = R"(# written by hand
[component]
bind-name = {A}
id = pci\ven_1
display-name = Wired adapter = the first one
class = net
characteristics = 0x84
device-status = 0x180200a
interface = eth9
hardware-ids = pci\ven_1&dev_2 , pci\ven_1
compatible-ids =
param-key = SYSTEM\Somewhere
present = no
restart-error = 5
restarts = 3

[component]
bind-name = Tcpip
id = ms_tcpip
class = nettrans

[binding]
path = Tcpip {A}
enabled = no
)";

TEST(NetworkState, EveryFieldIsReadAndWrittenBackUnchanged) {
    NetworkState state;
    ASSERT_TRUE(NetworkState::parse(RICH_STATE, state));
    ASSERT_EQ(state.components.size(), 2u);
    const auto& a = state.components[0];
    EXPECT_EQ(a.displayName, "Wired adapter = the first one");
    EXPECT_EQ(a.characteristics, 0x84u);
    EXPECT_EQ(a.deviceStatus, 0x180200au);
    EXPECT_EQ(a.hardwareIds, (std::vector<std::string>{"pci\\ven_1&dev_2", "pci\\ven_1"}));
    EXPECT_EQ(a.compatibleIds, std::vector<std::string>{});  // present but empty
    EXPECT_FALSE(a.present);
    EXPECT_EQ(a.restartError, 5);
    EXPECT_EQ(a.restarts, 3u);
    EXPECT_FALSE(state.components[1].deviceStatus.has_value());
    EXPECT_FALSE(state.components[1].hardwareIds.has_value());
    EXPECT_TRUE(state.components[1].classGuid() == netcfg::GUID_DEVCLASS_NETTRANS);
    ASSERT_EQ(state.bindings.size(), 1u);
    EXPECT_EQ(state.bindings[0].token(), "-Tcpip-{A}");
    EXPECT_FALSE(state.bindings[0].enabled);

    NetworkState again;
    ASSERT_TRUE(NetworkState::parse(state.serialize(), again));
    EXPECT_EQ(again.serialize(), state.serialize());
}

TEST(NetworkState, MalformedStatesAreRefused) {
    const char* bad[] = {
        "bind-name = {A}\n",                                             // field outside a block
        "[component]\nbind-name {A}\n",                                  // no '='
        "[component]\ncolour = red\n",                                   // unknown field
        "[component]\nclass = printer\n",                                // unknown class
        "[component]\ncharacteristics = -1\n",                           // negative
        "[component]\ncharacteristics = 0x100000000\n",                  // too large
        "[component]\npresent = maybe\n",                                // not yes or no
        "[component]\nbind-name = {A}\n[component]\nbind-name = {A}\n",  // same bind name twice
        "[component]\nbind-name = {A}\n[binding]\npath = {A}\n",         // a path needs two components
        "[component]\nbind-name = {A}\n[binding]\npath = Tcpip {A}\n",   // unknown component
        "[binding]\npath = a b\nenabled = sometimes\n",
    };
    for (const char* text : bad) {
        NetworkState state;
        EXPECT_FALSE(NetworkState::parse(text, state)) << text;
    }
}

}  // namespace
