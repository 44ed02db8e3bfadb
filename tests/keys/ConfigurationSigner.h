#pragma once

#include <string>

// Test and sample tooling only: the service never signs. Signs an administrator configuration with
// an enveloped signature as the root's last child, replacing a signature it already has.
class ConfigurationSigner {
public:
    // Returns the signed document text; throws std::runtime_error when the key or the text is unusable.
    static std::string sign(const std::string& xmlText, const std::string& privateKeyPem);
    // The PEM public key that belongs to a PEM private key.
    static std::string publicKeyOf(const std::string& privateKeyPem);
    static std::string readFile(const std::string& path);
};
