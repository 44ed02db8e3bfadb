#include <gtest/gtest.h>

#include "platform/lab/LabReader.h"
#include "tests/support/LabBuilder.h"
#include "tests/support/TempHome.h"

namespace tamsel::test {
namespace {

// The lab of the documentation, every element once.
const char FULL_LAB[] = R"(<lab>
  <adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" friendly="eth0" media="wired"
           mac="02:00:00:00:00:01" link="up" speed="1000"/>
  <adapter name="{6F1A0C2E-0000-4000-8000-000000000002}" friendly="wlan0" media="wireless"
           mac="02:00:00:00:00:02" bands="bg" locationCapable="true">
    <oid id="0x0D010217" hex="01000000 deadbeef"/>
  </adapter>
  <accessPoint ssid="corp" bssid="02:aa:00:00:00:01" channel="6" signal="-55"
               security="wpa2EnterpriseAes" location="Building 4, floor 2"/>
  <accessPoint ssid="home" bssid="02:aa:00:00:00:02" channel="36" signal="-62"
               security="wpaPersonalTkip wpa2PersonalAes" passphrase="correct horse battery"/>
  <authenticator on="corp" method="peap" inner="mschapv2" identity="alice"
                 password="secret" serverCertificate="server.pem" resume="true"/>
  <authenticator on="eth0" method="md5" identity="alice" password="secret"/>
  <dhcp on="eth0" address="192.0.2.10" mask="255.255.255.0" gateway="192.0.2.1"/>
  <dhcp on="corp" address="192.0.2.20" mask="255.255.255.0" gateway="192.0.2.1"/>
  <certificateStore store="LOCAL_MACHINE/ROOT" file="root.pem"/>
  <smartCard id="card1" name="Alice card" file="alice-card.p12" pin="1234"/>
  <logon user="alice" domain="CORP" password="secret" atMs="0"/>
  <vpnGateway profile="Office" user="alice" password="secret" banner="Authorized use only"/>
  <softToken user="alice" pin="1234" passcode="12345678"/>
  <library version="4.1.0.7" built="2009-12-31 23:59:59"/>
  <fail function="qxPortSsidScan" code="-1" count="always"/>
  <at ms="5000" do="link eth0 down"/>
</lab>
)";

TEST(LabReader, TheDocumentedLabIsReadWithItsValuesAndDefaults) {
    lab::World world;
    std::string error;
    ASSERT_TRUE(lab::readLabText(FULL_LAB, "lab.xml", "/labs", &world, &error)) << error;

    ASSERT_EQ(world.all("adapter").size(), 2u);
    const lab::Element* wlan = world.find("adapter", "wlan0");
    ASSERT_NE(wlan, nullptr);
    EXPECT_EQ(world.find("adapter", "{6F1A0C2E-0000-4000-8000-000000000002}"), wlan);
    EXPECT_EQ(wlan->text("media"), "wireless");
    EXPECT_EQ(wlan->bytes("mac"), (std::vector<uint8_t>{2, 0, 0, 0, 0, 2}));
    EXPECT_EQ(wlan->integer("mtu"), 1500);  // default
    EXPECT_TRUE(wlan->flag("locationCapable"));
    ASSERT_EQ(wlan->children().size(), 1u);
    EXPECT_EQ(wlan->children()[0].integer("id"), 0x0D010217);
    EXPECT_EQ(wlan->children()[0].bytes("hex"), (std::vector<uint8_t>{1, 0, 0, 0, 0xde, 0xad, 0xbe, 0xef}));

    const lab::Element* corp = world.find("accessPoint", "02:aa:00:00:00:01");
    ASSERT_NE(corp, nullptr);
    EXPECT_EQ(corp->integer("signal"), -55);
    EXPECT_EQ(corp->integer("noise"), -95);  // default
    EXPECT_EQ(world.find("authenticator", "corp")->text("serverCertificate"), "/labs/server.pem");
    EXPECT_EQ(world.find("dhcp", "eth0")->integer("leaseSec"), 86400);
    EXPECT_EQ(world.all("logon").size(), 1u);
    EXPECT_EQ(world.all("library")[0].text("version"), "4.1.0.7");
    EXPECT_EQ(world.all("fail")[0].integer("count"), 0);  // always
    EXPECT_EQ(world.all("at")[0].line(), 24);
}

TEST(LabReader, AMissingFileIsAnEmptyLab) {
    TempHome home("labreader");
    lab::World world;
    std::string error;
    ASSERT_TRUE(lab::readLabFile(home.file("lab.xml"), &world, &error));
    EXPECT_TRUE(world.all("adapter").empty());
}

TEST(LabReader, RelativeFilesStartFromTheLabFilesFolder) {
    TempHome home("labreader");
    LabBuilder lab;
    lab.add("smartCard", {{"id", "card1"}, {"file", "cards/alice.p12"}});
    lab.writeTo(home.file("lab.xml"));
    lab::World world;
    std::string error;
    ASSERT_TRUE(lab::readLabFile(home.file("lab.xml"), &world, &error)) << error;
    EXPECT_EQ(world.find("smartCard", "card1")->text("file"), home.file("cards/alice.p12"));
}

struct Refusal {
    const char* name;
    const char* body;  // what stands between <lab> and </lab>, from line 2
    const char* error;
};

class LabRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(LabRefusal, NamesTheFileLineAndReason) {
    std::string text = std::string("<lab>\n") + GetParam().body + "\n</lab>\n";
    lab::World world;
    std::string error;
    EXPECT_FALSE(lab::readLabText(text, "lab.xml", "/labs", &world, &error));
    EXPECT_EQ(error, GetParam().error);
    EXPECT_TRUE(world.all("adapter").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Labs, LabRefusal,
    testing::Values(
        Refusal{"UnknownElement", "<router/>", "lab.xml:2: unknown element <router>"},
        Refusal{"UnknownAttribute",
                R"(<adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" colour="red"/>)",
                "lab.xml:2: unknown attribute 'colour' of <adapter>"},
        Refusal{"BadChoice", R"(<adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" media="fibre"/>)",
                "lab.xml:2: bad value \"fibre\" of media: not one of wired wireless"},
        Refusal{"BadVpnState",
                R"(<vpnGateway profile="Office" error="VPN_ERROR_IKE_FAIL" failAt="VPN_STATE_UP"/>)",
                "lab.xml:2: bad value \"VPN_STATE_UP\" of failAt: not one of VPN_STATE_WAIT_PPP "
                "VPN_STATE_WAIT_CTCP "
                "VPN_STATE_WAIT_PHASE1 VPN_STATE_WAIT_AUTH VPN_STATE_WAIT_MODECFG VPN_STATE_WAIT_PHASE2 "
                "VPN_STATE_CONNECTED"},
        Refusal{
            "BadGuid", R"(<adapter name="6F1A0C2E-0000-4000-8000-000000000001"/>)",
            "lab.xml:2: bad value \"6F1A0C2E-0000-4000-8000-000000000001\" of name: not a GUID in braces"},
        Refusal{"BadMac", R"(<accessPoint ssid="a" bssid="02:aa:00:00:01"/>)",
                "lab.xml:2: bad value \"02:aa:00:00:01\" of bssid: not a MAC address (xx:xx:xx:xx:xx:xx)"},
        Refusal{"NumberOutOfRange", R"(<accessPoint ssid="a" bssid="02:aa:00:00:00:01" channel="300"/>)",
                "lab.xml:2: bad value \"300\" of channel: outside 1 to 196"},
        Refusal{"NotANumber", R"(<dhcp on="x" leaseSec="1d"/>)",
                "lab.xml:2: bad value \"1d\" of leaseSec: not a number"},
        Refusal{"ShortPassphrase", R"(<accessPoint ssid="a" bssid="02:aa:00:00:00:01" passphrase="short"/>)",
                "lab.xml:2: bad value \"short\" of passphrase: shorter than 8 bytes"},
        Refusal{"ShortPsk", R"(<accessPoint ssid="a" bssid="02:aa:00:00:00:01" psk="0011"/>)",
                "lab.xml:2: bad value \"0011\" of psk: fewer than 32 bytes"},
        Refusal{"WepKeyLength",
                R"(<accessPoint ssid="a" bssid="02:aa:00:00:00:01" wepKey="0011223344556677"/>)",
                "lab.xml:2: bad value \"0011223344556677\" of wepKey: not 5 or 13 bytes"},
        Refusal{"UnknownSecurity",
                R"(<accessPoint ssid="a" bssid="02:aa:00:00:00:01" security="wpa3Personal"/>)",
                "lab.xml:2: bad value \"wpa3Personal\" of security: unknown association mode 'wpa3Personal'"},
        Refusal{"NotABool", R"(<smartCard id="c" blocked="yes"/>)",
                "lab.xml:2: bad value \"yes\" of blocked: not true or false"},
        Refusal{"UnknownCommand", R"(<at ms="10" do="reboot now"/>)",
                "lab.xml:2: bad value \"reboot now\" of do: unknown command 'reboot'"},
        Refusal{"MissingRequired", R"(<adapter friendly="eth0"/>)", "lab.xml:2: <adapter> without name"},
        Refusal{"DuplicateName",
                R"(<adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" friendly="eth0"/>
<adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" friendly="eth1"/>)",
                "lab.xml:3: duplicate adapter name \"{6F1A0C2E-0000-4000-8000-000000000001}\""},
        Refusal{"DuplicateFriendly",
                R"(<adapter name="{6F1A0C2E-0000-4000-8000-000000000001}" friendly="eth0"/>
<adapter name="{6F1A0C2E-0000-4000-8000-000000000002}" friendly="eth0"/>)",
                "lab.xml:3: duplicate adapter friendly \"eth0\""},
        Refusal{"SecondSingle", "<logon user=\"a\"/>\n<logon user=\"b\"/>", "lab.xml:3: a second <logon>"},
        Refusal{"DanglingReference", R"(<dhcp on="nowhere"/>)",
                "lab.xml:2: on \"nowhere\" names no adapter or SSID"},
        Refusal{"WrongInner", R"(<authenticator on="x" method="md5" inner="gtc"/>)",
                "lab.xml:2: inner method gtc is not one of md5"},
        Refusal{
            "BothKeys",
            R"(<accessPoint ssid="a" bssid="02:aa:00:00:00:01" passphrase="12345678" psk="00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff"/>)",
            "lab.xml:2: <accessPoint> with both passphrase and psk"},
        Refusal{"BadOid", R"(<adapter name="{6F1A0C2E-0000-4000-8000-000000000001}">
<oid id="0x0D010217" hex="xyz"/>
</adapter>)",
                "lab.xml:3: bad value \"xyz\" of hex: not hexadecimal bytes"},
        Refusal{"ChildOfAnotherElement", R"(<dhcp on="x"><oid id="1" hex="00"/></dhcp>)",
                "lab.xml:2: unknown element <oid> in <dhcp>"},
        Refusal{"TextContent", R"(<smartCard id="c">inserted</smartCard>)",
                "lab.xml:2: text or markup where only elements belong"},
        Refusal{"NotWellFormed", "<adapter name=\"{6F1A0C2E-0000-4000-8000-000000000001}\">",
                "lab.xml:3: Opening and ending tag mismatch: adapter line 2 and lab"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamsel::test
