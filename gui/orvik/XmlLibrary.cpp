#include "orvik/XmlLibrary.h"

#include <libxml/parser.h>
#include <libxml/xmlversion.h>

#include <cstdlib>
#include <mutex>

namespace orvik {

void XmlLibrary::use() {
    LIBXML_TEST_VERSION
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        std::atexit([] { xmlCleanupParser(); });
    });
}

}  // namespace orvik
