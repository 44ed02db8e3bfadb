#pragma once

#include <libxml/xmlerror.h>

#include <string>

// Start and end of libxml2 for the process, and the settings every parse uses.
void xmlInit();
void xmlCleanup();

class XmlLibrary {
public:
    enum Severity { SEVERITY_INFO, SEVERITY_WARNING, SEVERITY_ERROR };

    struct ErrorLine {
        Severity severity;
        std::string text;
    };

    // Local clients and users hand us these documents before anything vouches for them: nothing
    // outside the text is ever fetched, and entity expansion keeps libxml2's limits.
    static int parseOptions();
    // Makes sure the refusing entity loader is in place, also when xmlInit was not called.
    static void protectParser();

    static ErrorLine errorLine(const xmlError& error);
    static void structuredErrorHook(void* context, xmlErrorPtr error);
};
