#pragma once
// A port that records each operation by name and answers from settings of the test instead of the
// library: what the credential responder member reads and the manager calls, without a lab.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/qxauth/QxLibrary.h"
#include "vel/port/NvoPort.h"

namespace tamsel::test {

class RecordingNvoPortImpl : public NvoPortImpl {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::int32_t> results;    // by operation; 0 when absent
    std::vector<std::int32_t> eapTypes = {25, 26};  // by level
    std::int32_t fastMode = 2;
    std::int32_t chainIsValid = 1;
    std::string prompt = "Password:";
    std::vector<std::uint8_t> aid = {'A', 'I', 'D', '1'};
    std::string aidInfo = "lab server";
    std::string iid = "alice";
    std::vector<std::uint8_t> pacKey = std::vector<std::uint8_t>(32, 7);
    std::vector<std::uint8_t> opaque = {1, 2, 3};
    std::int32_t pacType = 1;
    std::vector<QX_HANDLE> serverCertificates;  // given out by serverGetCert

    std::int32_t adhoc(const QX_ADHOC&) override { return call("adhoc"); }
    std::int32_t associate(const QX_ASSOCIATE&) override { return call("associate"); }
    std::int32_t disassociate() override { return call("disassociate"); }
    std::int32_t radioOff() override { return call("radioOff"); }
    std::int32_t radioOn() override { return call("radioOn"); }
    bool isRadioOn() override { return call("isRadioOn") == 0; }
    std::int32_t getEapFastAid(std::int32_t, std::uint8_t* buffer, std::int32_t* length) override {
        return field("getEapFastAid", aid.data(), aid.size(), buffer, length);
    }
    std::int32_t getEapFastMode(std::int32_t, std::int32_t* mode) override {
        *mode = fastMode;
        return call("getEapFastMode");
    }
    std::int32_t getEapFastPacAid(std::int32_t, std::uint8_t* buffer, std::int32_t* length) override {
        return field("getEapFastPacAid", aid.data(), aid.size(), buffer, length);
    }
    std::int32_t getEapFastPacAidInfo(std::int32_t, char* buffer, std::int32_t* length) override {
        return field("getEapFastPacAidInfo", aidInfo.c_str(), aidInfo.size() + 1, buffer, length);
    }
    std::int32_t getEapFastPacIid(std::int32_t, char* buffer, std::int32_t* length) override {
        return field("getEapFastPacIid", iid.c_str(), iid.size() + 1, buffer, length);
    }
    std::int32_t getEapFastPacKey(std::int32_t, std::uint8_t* buffer, std::int32_t* length) override {
        return field("getEapFastPacKey", pacKey.data(), pacKey.size(), buffer, length);
    }
    std::int32_t getEapFastPacLifetime(std::int32_t, std::int32_t* time) override {
        *time = 0;
        return call("getEapFastPacLifetime");
    }
    std::int32_t getEapFastPacOpaque(std::int32_t, std::uint8_t* buffer, std::int32_t* length) override {
        return field("getEapFastPacOpaque", opaque.data(), opaque.size(), buffer, length);
    }
    std::int32_t getEapFastPacType(std::int32_t, std::int32_t* type) override {
        *type = pacType;
        return call("getEapFastPacType");
    }
    std::int32_t getEapMethod(std::int32_t, QX_EAP_METHOD* method, std::int32_t level) override {
        method->vendorId = 0;
        method->type =
            level < static_cast<std::int32_t>(eapTypes.size()) ? eapTypes[static_cast<size_t>(level)] : 0;
        return call("getEapMethod " + std::to_string(level));
    }
    std::int32_t getIdentityPrompt(std::int32_t, char* buffer, std::int32_t* length) override {
        return field("getIdentityPrompt", prompt.c_str(), prompt.size() + 1, buffer, length);
    }
    std::int32_t getPasswordPrompt(std::int32_t, char* buffer, std::int32_t* length) override {
        return field("getPasswordPrompt", prompt.c_str(), prompt.size() + 1, buffer, length);
    }
    // A new certificate handle of the library each time, as the real library gives.
    std::int32_t serverGetCert(std::int32_t, QX_HANDLE* certificate) override {
        *certificate = qxauth::makeHandle(qxauth::HandleValue{QX_HANDLE_CERTIFICATE, {1, 2, 3}, {}});
        serverCertificates.push_back(*certificate);
        return call("serverGetCert");
    }
    std::int32_t serverVerifyChain(std::int32_t, std::int32_t* valid) override {
        *valid = chainIsValid;
        return call("serverVerifyChain");
    }
    std::int32_t serverVerifyCa(std::int32_t, QX_HANDLE, std::int32_t* inChain) override {
        *inChain = 1;
        return call("serverVerifyCa");
    }
    std::int32_t credComplete(std::int32_t, std::int32_t) override { return call("credComplete"); }
    std::int32_t credDeferred(std::int32_t) override { return call("credDeferred"); }
    std::int32_t eapCreate() override { return call("eapCreate"); }
    std::int32_t eapDestroy() override { return call("eapDestroy"); }
    std::int32_t attach(const Ascii&) override { return call("attach"); }
    std::int32_t detach() override { return call("detach"); }
    std::int32_t rsnProbeIeVerifyEnable(std::int32_t) override { return call("rsnProbeIeVerifyEnable"); }
    std::int32_t credEapMethods(std::int32_t, std::int32_t, const QX_EAP_METHOD*) override {
        return call("credEapMethods");
    }
    std::int32_t credEapTtlsTunnelMethod(std::int32_t, std::int32_t) override {
        return call("credEapTtlsTunnelMethod");
    }
    std::int32_t credIdentity(std::int32_t, QX_HANDLE) override { return call("credIdentity"); }
    std::int32_t credPassword(std::int32_t, QX_HANDLE) override { return call("credPassword"); }
    std::int32_t credSessionStart(std::int32_t, std::int32_t) override { return call("credSessionStart"); }
    std::int32_t credEapFastPac(std::int32_t, QX_HANDLE) override { return call("credEapFastPac"); }
    std::int32_t credEapFastProvisionModes(std::int32_t, const std::int32_t*, std::int32_t) override {
        return call("credEapFastProvisionModes");
    }
    std::int32_t credMachineIdentity(std::int32_t, QX_HANDLE) override { return call("credMachineIdentity"); }
    std::int32_t credServerVerified(std::int32_t, std::int32_t) override {
        return call("credServerVerified");
    }
    std::int32_t credUserCert(std::int32_t, QX_HANDLE) override { return call("credUserCert"); }
    std::int32_t credEapFastPacTypes(std::int32_t, const std::int32_t*, std::int32_t) override {
        return call("credEapFastPacTypes");
    }
    std::int32_t set8021xCfg(const QX_8021X_CFG&) override { return call("set8021xCfg"); }
    std::int32_t credRsnPsk(QX_HANDLE) override { return call("credRsnPsk"); }
    std::int32_t credCertStore(const QX_HANDLE* stores, std::int32_t count) override {
        std::string text = "credCertStore";
        for (std::int32_t i = 0; i < count; ++i) text += " " + std::to_string(stores[i]);
        return call(text);
    }
    std::int32_t auth(std::int32_t type) override { return call("auth " + std::to_string(type)); }
    std::int32_t ssidScan() override { return call("ssidScan"); }
    std::int32_t getSsidList(const Ascii&, void*, std::int32_t* length) override {
        *length = 0;
        return call("getSsidList");
    }
    std::int32_t getAssociationInfo(QX_ASSOCIATION_INFO*) override { return call("getAssociationInfo"); }
    std::int32_t getLinkSpeed(std::int32_t*) override { return call("getLinkSpeed"); }
    std::int32_t getLinkState(std::int32_t* state) override {
        *state = 1;
        return call("getLinkState");
    }
    std::int32_t getAttributes(const Ascii&, QX_PORT_ATTR* attributes) override {
        std::memset(attributes, 0, sizeof *attributes);
        return call("getAttributes");
    }
    std::int32_t getLocation(const QX_LOCATION_QUERY&) override { return call("getLocation"); }
    std::int32_t authReset() override { return call("authReset"); }

private:
    std::int32_t call(const std::string& name) {
        calls.push_back(name);
        auto it = results.find(name.substr(0, name.find(' ')));
        return it == results.end() ? 0 : it->second;
    }
    template <typename T, typename U>
    std::int32_t field(const std::string& name, const T* bytes, size_t size, U* buffer,
                       std::int32_t* length) {
        std::int32_t result = call(buffer == nullptr ? name + " length" : name);
        if (result != 0) return result;
        if (buffer != nullptr) std::memcpy(buffer, bytes, size);
        *length = static_cast<std::int32_t>(size);
        return 0;
    }
};

}  // namespace tamsel::test
