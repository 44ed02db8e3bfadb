// The administrator file as it arrives: parsed, its signature checked, and read into a
// configuration whatever the check says, so that the readers see what the fuzzer makes.
#include <cstdint>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/Xml_Configuration.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1000000) return 0;
    try {
        XmlDocument document;
        document.parse(reinterpret_cast<const char*>(data), static_cast<int>(size));
        SharedXmlNode root = document.rootElement();
        const bool signedBefore = root.findChild("Signature").isNonNull();
        document.verifySignature();
        // The check puts back what it took out.
        if (signedBefore && document.rootElement().findChild("Signature").isNull()) __builtin_trap();
        Configuration configuration = Xml_Configuration::readAdministratorFile(document.rootElement());
        configuration.impl()->clearReferences();
    } catch (const XmlException&) {
    } catch (const ConversionException&) {
    }
    return 0;
}
