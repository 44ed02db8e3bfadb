// The user's file read into a configuration; what is read is written again and must read back with
// the same networks, since the service saves the user's networks this way.
#include <cstdint>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/exception/ConversionException.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/Xml_DistributionPackage.h"

namespace {

Configuration readText(const char* text, int length) {
    XmlDocument document;
    document.parse(text, length);
    return Xml_DistributionPackage::readUserFile(document.rootElement());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1000000) return 0;
    Configuration read;
    try {
        read = readText(reinterpret_cast<const char*>(data), static_cast<int>(size));
    } catch (const XmlException&) {
        return 0;
    } catch (const ConversionException&) {
        return 0;
    }
    XmlDocument written;
    Xml_DistributionPackage::Write(written, Xml_DistributionPackage::recordOf(read),
                                   Xml_DistributionPackage::USER_CONFIGURATION);
    const ByteArray text = written.dump();
    Configuration again;
    try {
        again = readText(text.text(), text.length());
    } catch (...) {
        __builtin_trap();
    }
    if (again.allNetworks().length() != read.allNetworks().length()) __builtin_trap();
    read.impl()->clearReferences();
    again.impl()->clearReferences();
    return 0;
}
