// Writes the seed corpora of the configuration-file fuzz targets from the signed sample and the
// files the service writes:
//     xml_fuzz_seeds tests/fuzz
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/lum/LumMain.h"
#include "tests/support/AdministratorFileMutations.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/Xml_Configuration.h"
#include "vel/xml/Xml_DistributionPackage.h"
#include "vel/xml/Xml_InternalConfiguration.h"

using namespace tamsel::test;

namespace {

std::filesystem::path g_root;

void seed(const std::string& target, const std::string& name, const std::string& text) {
    const std::filesystem::path folder = g_root / target / "seeds";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << text;
}

std::string fileText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string dumped(const XmlDocument& document) {
    const ByteArray text = document.dump();
    return std::string(text.text(), text.length());
}

void adminSeeds(const std::string& sample) {
    seed("admin_file", "sample-signed", sample);
    seed("admin_file", "sample-unsigned", fileText(TAMSEL_SAMPLE_CONFIGURATION_SOURCE));
    // One change of each kind the readers refuse, and the accepted edge cases.
    const char* const labels[] = {"only globalNetworks",
                                  "major version 0x5",
                                  "ssid of 33 bytes",
                                  "WEP key deciphered empty",
                                  "40-bit WEP stored text skips the length",
                                  "eapTtls with empty eapMethods",
                                  "trusted PAC under another key",
                                  "credential storage forever and never",
                                  "server rule without match",
                                  "eapFast certificate sent by no rule",
                                  "a mode the policy does not allow"};
    for (const char* label : labels) {
        for (const AdministratorFileMutation& row : administratorFileMutations()) {
            std::string name = label;
            std::replace(name.begin(), name.end(), ' ', '-');
            if (std::string(row.label) == label) seed("admin_file", name, mutatedSample(sample, row));
        }
    }
}

void userSeeds(const std::string& sample) {
    XmlDocument read;
    read.parse(sample.data(), static_cast<int>(sample.size()));
    Configuration configuration = Xml_Configuration::readAdministratorFile(read.rootElement());
    XmlDocument written;
    Xml_DistributionPackage::Write(written, Xml_DistributionPackage::recordOf(configuration),
                                   Xml_DistributionPackage::USER_CONFIGURATION);
    const std::string text = dumped(written);
    seed("user_file", "sample-networks", text);
    seed("user_file", "root-networks",
         "<networks><group><groupName>Mine</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>"
         "<wiredNetwork><displayName>Desk</displayName><connectionTimeout>40</connectionTimeout>"
         "<openNetwork><userConnection/></openNetwork></wiredNetwork></group></networks>");
    seed("user_file", "meta-connections",
         "<UserConfiguration major_version=\"5\" minor_version=\"1\" "
         "development_version=\"1\"><metaConnections>"
         "<metaConnection><network><globalNetwork/><displayName>Guest</displayName></network>"
         "<vpnConnectionEntry>vpn</vpnConnectionEntry><autoConnectVpn>true</autoConnectVpn></metaConnection>"
         "</metaConnections></UserConfiguration>");
    configuration.impl()->clearReferences();
}

void internalSeeds() {
    XmlCredentialsEntries entries;
    const char* const names[] = {"globalCredentials", "globalGroup", "Office"};
    for (std::int32_t kind = 1; kind <= 3; ++kind) {
        XmlCredentialsGroup group = XmlCredentialsGroup::create(names[kind - 1], kind);
        XmlCredentialsNetwork network = XmlCredentialsNetwork::create("Desk");
        network.impl()->m_credentials = {ByteArray("\x01\x02\x03", 3), ByteArray("stored")};
        group.impl()->m_networks = {network, XmlCredentialsNetwork::create("No credentials yet")};
        entries.groups.push_back(group);
    }
    entries.hasGlobalNetworks = true;
    XmlDocument written;
    Xml_InternalConfiguration::Write(written, entries);
    seed("internal_file", "all-kinds", dumped(written));
    seed(
        "internal_file", "skipped-network",
        "<internalConfigurationData><group><groupName>Home</groupName><network><networkName>Den</networkName>"
        "</network><network><networkName>Hall</networkName><credentials><credential>0a</credential><x/>"
        "</credentials></network></group></internalConfigurationData>");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FUZZ_FOLDER\n", argv[0]);
        return 2;
    }
    g_root = argv[1];
    LumRuntime runtime;
    const std::string sample = fileText(TAMSEL_SAMPLE_CONFIGURATION);
    adminSeeds(sample);
    userSeeds(sample);
    internalSeeds();
    return 0;
}
