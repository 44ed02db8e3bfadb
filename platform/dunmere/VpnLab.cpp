// The lab's side of the VPN and token libraries, linked into the program that loads them: it gives
// the VPN service the lab's gateways (and the token library its tokens), the lab's clock, a profile
// file per gateway and the run/lab command "vpn". The libraries find it by name (PluginCall.h).
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/AtomicWrite.h"
#include "platform/base/Folders.h"
#include "platform/base/Root.h"
#include "platform/dunmere/VpnService.h"
#include "platform/lab/Lab.h"
#include "platform/softtoken/TokenLibrary.h"

namespace {

using dunmere::Gateway;
using dunmere::VpnService;

constexpr const char* PROFILES_FOLDER = "/c/Program Files/Varnel Systems/VPN Client/Profiles";
constexpr const char* VPN_USAGE = "vpn drop <profile> [error], or vpn service up|down";

std::mutex g_mutex;
int g_attached = 0;
int g_listener = 0;

softtoken::Token tokenOf(const lab::Element& element) {
    softtoken::Token token;
    token.user = element.text("user");
    token.pin = element.text("pin");
    if (element.has("passcode")) token.passcode = element.text("passcode");
    token.type = static_cast<int>(element.integer("type"));
    token.pinExpired = element.flag("pinExpired");
    return token;
}

// An adapter with its link up, or an SSID some access point sends.
bool reachable(const lab::World& world, const std::string& required) {
    if (const lab::Element* adapter = world.find("adapter", required)) return adapter->text("link") == "up";
    for (const lab::Element& point : world.all("accessPoint")) {
        if (point.text("ssid") == required) return true;
    }
    return false;
}

// The library lists the profiles it finds there; the lab makes an empty one per gateway.
void makeProfile(const std::string& profile) {
    std::string folder = base::programDataRoot() + PROFILES_FOLDER;
    std::string file = folder + "/" + profile + ".pcf";
    if (base::pathExists(file)) return;
    if (!base::makeFolders(folder) || base::writeFileAtomically(file, "") != 0) {
        std::fprintf(stderr, "lab: cannot make the VPN profile %s\n", file.c_str());
    }
}

Gateway gatewayOf(const lab::World& world, const lab::Element& element) {
    Gateway gateway;
    gateway.profile = element.text("profile");
    gateway.user = element.text("user");
    gateway.token = element.flag("token");
    if (gateway.token) {
        const lab::Element* token = world.find("softToken", gateway.user);
        gateway.secret = token ? tokenOf(*token).passcode : std::string();
    } else {
        gateway.secret = element.text("password");
    }
    gateway.banner = element.text("banner");
    gateway.permissions = static_cast<std::uint32_t>(element.integer("permissions"));
    if (element.has("error"))
        dunmereValue(DUNMERE_RESULT_NAMES, element.text("error").c_str(), &gateway.error);
    dunmereValue(DUNMERE_STATE_NAMES, element.text("failAt").c_str(), &gateway.failAt);
    gateway.delayMs = static_cast<int>(element.integer("delayMs"));
    // A gateway behind a network that is not there cannot be contacted.
    if (element.has("requires") && !reachable(world, element.text("requires"))) {
        gateway.error = VPN_ERROR_IKE_FAIL;
        gateway.failAt = VPN_STATE_WAIT_PHASE1;
    }
    return gateway;
}

// Under the lab's lock.
void takeGateways(lab::Lab& lab) {
    std::vector<Gateway> gateways;
    for (const lab::Element& element : lab.world().all("vpnGateway")) {
        gateways.push_back(gatewayOf(lab.world(), element));
        makeProfile(gateways.back().profile);
    }
    VpnService::instance().setGateways(std::move(gateways));
}

void takeTokens(lab::Lab& lab) {
    std::vector<softtoken::Token> tokens;
    for (const lab::Element& element : lab.world().all("softToken")) tokens.push_back(tokenOf(element));
    softtoken::TokenLibrary::instance().setTokens(std::move(tokens));
}

std::string vpnCommand(const std::vector<std::string>& words) {
    if (words.size() == 3 && words[1] == "service" && (words[2] == "up" || words[2] == "down")) {
        VpnService::instance().setServiceRunning(words[2] == "up");
        return "";
    }
    if ((words.size() == 3 || words.size() == 4) && words[1] == "drop") {
        int error = VPN_ERROR_PEER_NOT_RESPONDING;
        if (words.size() == 4 &&
            (!dunmereValue(DUNMERE_RESULT_NAMES, words[3].c_str(), &error) || error == VPN_OK)) {
            return "no VPN error " + words[3];
        }
        if (!VpnService::instance().drop(words[2], error)) return "no tunnel to " + words[2];
        return "";
    }
    return VPN_USAGE;
}

}  // namespace

extern "C" {

// The VPN library's start: false, with the lab's reason, when the lab cannot be used.
__attribute__((visibility("default"))) int tamsel_lab_vpn_attach(char* error, int size) {
    std::lock_guard<std::mutex> lock(g_mutex);
    lab::Lab& lab = lab::Lab::instance();
    std::string reason;
    if (!lab.acquire(&reason)) {
        if (error != nullptr && size > 0)
            std::snprintf(error, static_cast<std::size_t>(size), "%s", reason.c_str());
        return 0;
    }
    std::lock_guard<std::recursive_mutex> world(lab.mutex());
    if (g_attached++ == 0) {
        lab.addCommand("vpn",
                       [](const std::vector<std::string>& words, std::string*) { return vpnCommand(words); });
        g_listener = lab.addListener([&lab](const std::string& element) {
            if (element == "vpnGateway" || element == "softToken" || element == "adapter" ||
                element == "accessPoint") {
                takeGateways(lab);
            }
        });
        VpnService::instance().setClock([&lab] { return std::chrono::milliseconds(lab.now()); });
    }
    takeGateways(lab);
    return 1;
}

__attribute__((visibility("default"))) void tamsel_lab_vpn_detach() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_attached == 0) return;
    lab::Lab& lab = lab::Lab::instance();
    if (--g_attached == 0) {
        lab.removeListener(g_listener);
        VpnService::instance().setClock(nullptr);
        // The service lives in the program: what it holds of the lab goes with the last user, before
        // the program counts what it has not given back.
        VpnService::instance().setGateways({});
        VpnService::instance().reset();
    }
    lab.release();
}

// The token library's reads: the tokens the lab has now.
__attribute__((visibility("default"))) void tamsel_lab_soft_tokens_sync() {
    lab::Lab& lab = lab::Lab::instance();
    std::lock_guard<std::recursive_mutex> world(lab.mutex());
    takeTokens(lab);
}
}
