#include "vel/xml/XmlMaskedText.h"

#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/xml/XmlElements.h"
#include "vel/xml/Xml_EncryptedContent.h"

namespace vel {

namespace {

bool holdsSecret(const SharedXmlNode& element) {
    return !element.attribute(EncryptedContentConstants::ENCRYPT_CONTENT).isNull() ||
           element.hasName(XmlElements::CREDENTIAL);
}

void mask(const SharedXmlNode& element) {
    if (holdsSecret(element)) {
        element.removeChildren();
        xmlNodeAddContent(element.get(), reinterpret_cast<const xmlChar*>(XML_MASK));
        return;
    }
    for (SharedXmlNode child = element.firstChild(); child.isNonNull(); child = child.nextSibling()) {
        if (child.isElement()) mask(child);
    }
}

}  // namespace

std::string xmlMaskedText(const std::string& text) {
    try {
        XmlDocument document;
        document.parseFile(text.data(), static_cast<int>(text.size()));
        mask(document.rootElement());
        ByteArray dumped = document.dump();
        return std::string(dumped.text(), static_cast<size_t>(dumped.length()));
    } catch (const XmlException&) {
        return "";
    }
}

}  // namespace vel
