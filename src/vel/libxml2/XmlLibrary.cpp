#include "vel/libxml2/XmlLibrary.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <cstring>
#include <mutex>

#include "runtime/lum/Log.h"

namespace {

xmlParserInputPtr refuseExternalEntity(const char* url, const char* id, xmlParserCtxtPtr context) {
    (void)url;
    (void)id;
    (void)context;
    return nullptr;
}

}  // namespace

void xmlInit() {
    xmlInitParser();
    XmlLibrary::protectParser();
    xmlSubstituteEntitiesDefault(1);
    xmlThrDefSubstituteEntitiesDefaultValue(1);
    xmlLineNumbersDefault(1);
    xmlThrDefLineNumbersDefaultValue(1);
    xmlThrDefSetStructuredErrorFunc(nullptr, &XmlLibrary::structuredErrorHook);
    xmlSetStructuredErrorFunc(nullptr, &XmlLibrary::structuredErrorHook);
}

void xmlCleanup() {
    xmlCleanupParser();
}

int XmlLibrary::parseOptions() {
    protectParser();
    // Entity substitution is asked for here, not only through the per-thread default, so every
    // thread reads a document the same way.
    return XML_PARSE_NOENT | XML_PARSE_NONET;
}

void XmlLibrary::protectParser() {
    static std::once_flag once;
    std::call_once(once, [] { xmlSetExternalEntityLoader(&refuseExternalEntity); });
}

XmlLibrary::ErrorLine XmlLibrary::errorLine(const xmlError& error) {
    const char* message = error.message != nullptr ? error.message : "";
    size_t length = std::strlen(message);
    while (length > 0 && message[length - 1] == '\n') --length;
    ErrorLine line;
    line.text = "XML error: ";
    if (error.file != nullptr) {
        line.text += error.file;
        line.text += ':';
        line.text += std::to_string(error.line);
        line.text += ": ";
    }
    line.text.append(message, length);
    line.severity = error.level == XML_ERR_NONE      ? SEVERITY_INFO
                    : error.level == XML_ERR_WARNING ? SEVERITY_WARNING
                                                     : SEVERITY_ERROR;
    return line;
}

void XmlLibrary::structuredErrorHook(void* context, xmlErrorPtr error) {
    (void)context;
    if (error == nullptr) return;
    const ErrorLine line = errorLine(*error);
    switch (line.severity) {
        case SEVERITY_INFO:
            logInfo(0, "%s", line.text.c_str());
            break;
        case SEVERITY_WARNING:
            logWarning(0, "%s", line.text.c_str());
            break;
        default:
            logError(0, "%s", line.text.c_str());
            break;
    }
}
