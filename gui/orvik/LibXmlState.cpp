#include "gui/orvik/LibXmlState.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlversion.h>

#include <cstdlib>
#include <mutex>

namespace orvik {

namespace {

thread_local int t_readingSettings = 0;
xmlExternalEntityLoader g_previousLoader = nullptr;

xmlParserInputPtr loadEntity(const char* url, const char* id, xmlParserCtxtPtr context) {
    if (t_readingSettings > 0) return nullptr;
    return g_previousLoader != nullptr ? g_previousLoader(url, id, context) : nullptr;
}

}  // namespace

void LibXmlState::use() {
    LIBXML_TEST_VERSION
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        g_previousLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(&loadEntity);
        std::atexit([] { xmlCleanupParser(); });
    });
}

int LibXmlState::parseOptions() {
    return XML_PARSE_NOENT | XML_PARSE_NONET;
}

LibXmlState::ReadingSettings::ReadingSettings() {
    ++t_readingSettings;
}

LibXmlState::ReadingSettings::~ReadingSettings() {
    --t_readingSettings;
}

}  // namespace orvik
