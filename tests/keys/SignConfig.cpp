// tamsel_sign_config PRIVATE_KEY.pem INPUT.xml OUTPUT.xml
// Signs a configuration for tests and the sample run, and checks the result before writing it.
#include <cstdio>
#include <exception>
#include <fstream>

#include "runtime/lum/LumMain.h"
#include "tests/keys/ConfigurationSigner.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/libxml2/XmlSignature.h"

namespace {

int signFile(char** argv) {
    try {
        const std::string key = ConfigurationSigner::readFile(argv[1]);
        const std::string signedText = ConfigurationSigner::sign(ConfigurationSigner::readFile(argv[2]), key);

        XmlDocument check;
        check.parse(signedText.data(), static_cast<int>(signedText.size()));
        if (!XmlSignature::verify(check, ConfigurationSigner::publicKeyOf(key).c_str())) {
            std::fprintf(stderr, "%s: the signed document does not verify\n", argv[0]);
            return 1;
        }
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out << signedText;
        if (!out.flush()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
            return 1;
        }
        return 0;
    } catch (const XmlException& e) {
        std::fprintf(stderr, "%s: not a usable document (%s)\n", argv[0], e.function().text());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PRIVATE_KEY.pem INPUT.xml OUTPUT.xml\n", argv[0]);
        return 2;
    }
    LumRuntime runtime;
    return signFile(argv);
}
