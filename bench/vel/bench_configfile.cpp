// The administrator file of a large site, 1,000 networks in ten groups (wired and wireless; PEAP,
// EAP-TLS and WPA2 personal), signed with the test key: the service's whole way from the file on
// disk to a checked configuration (read, parse, signature, readAdministratorFile) next to
// `xmllint --noout` of the same file. Medians of several runs; the goal is at most 1.5 times
// xmllint's time.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/support/BenchRounds.h"
#include "runtime/lum/LumMain.h"
#include "tests/keys/ConfigurationSigner.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/Xml_Configuration.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int NETWORKS = 1000;
constexpr int GROUPS = 10;
constexpr int RUNS = 15;

std::string identity(const char* name, const char* text) {
    return std::string("<") + name + " encryptContent=\"true\">" + text + "</" + name + ">";
}

std::string peap(bool wireless) {
    return "<authenticationNetwork><userAuthentication><authenticationMethod><eapPeap>"
           "<validateServerCertificate><serverNameValidationRules><matchSubject "
           "match=\"endsWith\">.example.com"
           "</matchSubject></serverNameValidationRules><validateChainWithAnyCaFromOs/></"
           "validateServerCertificate>" +
           identity("unprotectedIdentityPattern", "anonymous") +
           "<enableFastReconnect><alwaysAttempt/></enableFastReconnect><authMethods><builtinMethods>"
           "<authenticateWithPassword>" +
           identity("protectedIdentityPattern", "[username]") +
           "<passwordSource><passwordFromUser/></passwordSource><methods><eapMschapv2/></methods>"
           "</authenticateWithPassword></builtinMethods></authMethods></eapPeap></authenticationMethod>"
           "<collectionBehavior><withPassword><cachePasswordFromUser><tilLogout/></cachePasswordFromUser>"
           "</withPassword></collectionBehavior></userAuthentication>"
           "<setting802.1x><authPeriod>30</authPeriod><heldPeriod>60</heldPeriod><startPeriod>30</"
           "startPeriod>"
           "<maxStart>3</maxStart></setting802.1x>" +
           std::string(wireless
                           ? "<associationMode><wpa2><encryption>AES</encryption></wpa2></associationMode>"
                           : "") +
           "</authenticationNetwork>";
}

std::string tls() {
    return "<authenticationNetwork><machineAuthentication><eapTls><validateServerCertificate><anyServerName/>"
           "<validateChainWithSpecificCa><certificate reference=\"false\">Site CA</certificate>"
           "</validateChainWithSpecificCa></validateServerCertificate>" +
           identity("unprotectedIdentityPattern", "host/[machine]") +
           "<disableFastReconnect/><certificateSource><certificateFromMachine/></certificateSource></eapTls>"
           "</machineAuthentication><setting802.1x><authPeriod>30</authPeriod><heldPeriod>60</heldPeriod>"
           "<startPeriod>30</startPeriod><maxStart>3</maxStart></setting802.1x>"
           "<associationMode><wpa2><encryption>AES</encryption></wpa2></associationMode></"
           "authenticationNetwork>";
}

std::string personal(int i) {
    return "<sharedKeyNetwork><userConnection><wpa2><keyFromProfile>" +
           identity("ascii", ("site key number " + std::to_string(i)).c_str()) +
           "</keyFromProfile><encryption>AES</encryption></wpa2></userConnection></sharedKeyNetwork>";
}

std::string network(int i) {
    const int kind = i % 4;
    const bool wireless = kind != 0;
    std::string text = std::string(wireless ? "<wifiNetwork>" : "<wiredNetwork>") + "<displayName>Network " +
                       std::to_string(i) + "</displayName><connectionTimeout>40</connectionTimeout>";
    if (wireless) {
        text += "<ssid><name>site-" + std::to_string(i) +
                "</name></ssid><associationTimeout>3</associationTimeout>";
    }
    text += kind == 1 ? tls() : kind == 2 ? personal(i) : peap(wireless);
    return text + (wireless ? "</wifiNetwork>" : "</wiredNetwork>");
}

std::string administratorFile() {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<configuration major_version=\"5\" minor_version=\"1\" "
        "development_version=\"1\">\n<networkPolicy><allowedAssociationModes><openNoEncryption/"
        "><wpa2PersonalAes/>"
        "<wpa2EnterpriseAes/></allowedAssociationModes><allowedEapMethods><eapTls/><eapPeap/>"
        "</allowedEapMethods></networkPolicy>\n<networks>\n";
    for (int g = 0; g < GROUPS; ++g) {
        text += "<group><groupName>Site " + std::to_string(g) +
                "</groupName><allowUserToSeeScanlist>true</allowUserToSeeScanlist>\n";
        for (int i = g * NETWORKS / GROUPS; i < (g + 1) * NETWORKS / GROUPS; ++i) text += network(i) + "\n";
        text += "</group>\n";
    }
    return text +
           "</networks>\n<connectionSettings><connectionBehaviorAtLogon><attemptConnectionAfterUserLogon/>"
           "</connectionBehaviorAtLogon><validateWpaHandshake>true</validateWpaHandshake></"
           "connectionSettings>\n"
           "<userControlPolicy><allowedMedia><wifi/><wired/></allowedMedia></userControlPolicy>\n</"
           "configuration>\n";
}

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

int main() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tamsel-bench-configfile";
    std::filesystem::create_directories(folder);
    setenv("TAMSEL_HOME", folder.c_str(), 1);
    LumRuntime runtime;

    const std::string path = (folder / "configuration.xml").string();
    const std::string signedText = ConfigurationSigner::sign(
        administratorFile(), ConfigurationSigner::readFile(TAMSEL_TEST_PRIVATE_KEY));
    std::ofstream(path, std::ios::binary) << signedText;

    std::vector<double> reading, parsing, checking, building, totals, xmllint;
    for (int run = 0; run < RUNS; ++run) {
        const Clock::time_point start = Clock::now();
        const std::string text = ConfigurationSigner::readFile(path);
        const Clock::time_point read = Clock::now();
        XmlDocument document;
        document.parse(text.data(), static_cast<int>(text.size()));
        const Clock::time_point parsed = Clock::now();
        if (!document.verifySignature()) {
            std::fprintf(stderr,
                         "bench_configfile: the signature does not verify (build with the test key)\n");
            return 1;
        }
        const Clock::time_point checked = Clock::now();
        Configuration configuration = Xml_Configuration::readAdministratorFile(document.rootElement());
        const Clock::time_point built = Clock::now();
        if (configuration.allNetworks().length() != NETWORKS) return 1;
        configuration.impl()->clearReferences();
        reading.push_back(milliseconds(read - start));
        parsing.push_back(milliseconds(parsed - read));
        checking.push_back(milliseconds(checked - parsed));
        building.push_back(milliseconds(built - checked));
        totals.push_back(milliseconds(built - start));

        const std::string command = "xmllint --noout '" + path + "'";
        const Clock::time_point lintStart = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bench_configfile: %s failed\n", command.c_str());
            return 1;
        }
        xmllint.push_back(milliseconds(Clock::now() - lintStart));
    }
    std::filesystem::remove_all(folder);

    const double total = median(totals);
    const double lint = median(xmllint);
    std::printf("administrator file: %d networks in %d groups, %zu bytes, signed; medians of %d runs\n",
                NETWORKS, GROUPS, signedText.size(), RUNS);
    std::printf("  read %.2f ms, parse %.2f ms, signature %.2f ms, readAdministratorFile %.2f ms\n",
                median(reading), median(parsing), median(checking), median(building));
    std::printf("  total %.2f ms; xmllint --noout %.2f ms; ratio %.2f (goal at most 1.5)\n", total, lint,
                total / lint);
    return 0;
}
