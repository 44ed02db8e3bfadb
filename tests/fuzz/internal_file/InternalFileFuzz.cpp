// The internal file's entries; what is read is written again and must read back the same.
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzEnvironment.h"
#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/Xml_InternalConfiguration.h"

namespace {

XmlCredentialsEntries readText(const char* text, int length) {
    XmlDocument document;
    document.parse(text, length);
    return Xml_InternalConfiguration::Read(document.rootElement());
}

std::string summaryOf(const XmlCredentialsEntries& entries) {
    std::string summary;
    for (const XmlCredentialsGroup& group : entries.groups) {
        summary += std::to_string(group.impl()->m_kind) + std::string(group.impl()->m_name.text()) + "{";
        for (const XmlCredentialsNetwork& network : group.impl()->m_networks) {
            summary += std::string(network.impl()->m_networkName.text()) + "(";
            for (const ByteArray& credential : network.impl()->m_credentials)
                summary += credential.toHex().text();
            summary += ")";
        }
        summary += "}";
    }
    return summary;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tamsel::fuzz::startEngineRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1000000) return 0;
    XmlCredentialsEntries entries;
    try {
        entries = readText(reinterpret_cast<const char*>(data), static_cast<int>(size));
    } catch (const XmlException&) {
        return 0;
    }
    // The writer writes the global networks' entry only when told that the list holds one.
    for (const XmlCredentialsGroup& group : entries.groups) {
        if (group.impl()->m_kind == XmlCredentialsGroupImpl::KIND_GLOBAL_NETWORKS)
            entries.hasGlobalNetworks = true;
    }
    XmlDocument written;
    Xml_InternalConfiguration::Write(written, entries);
    const ByteArray text = written.dump();
    XmlCredentialsEntries again;
    try {
        again = readText(text.text(), text.length());
    } catch (...) {
        __builtin_trap();
    }
    if (summaryOf(again) != summaryOf(entries)) __builtin_trap();
    return 0;
}
