#include "vel/connapi/ConnApiWriter.h"

#include "vel/enumtostring/EnumConversions.h"
#include "vel/string/FormatBuffer.h"
#include "vel/xmlconnectionapi/ConnApiConstants.h"

void ConnApiWriter::text(XmlParentNode& parent, const char* name, const Ascii& value) {
    parent.addTextChild(name, value.text());
}

void ConnApiWriter::text(XmlParentNode& parent, const char* name, const char* value) {
    parent.addTextChild(name, value);
}

void ConnApiWriter::textUnlessEmpty(XmlParentNode& parent, const char* name, const Ascii& value) {
    if (value.length() > 0) text(parent, name, value);
}

void ConnApiWriter::integer(XmlParentNode& parent, const char* name, std::int32_t value) {
    FormatBuffer100 number("%d", value);
    parent.addTextChild(name, number.text());
}

void ConnApiWriter::boolean(XmlParentNode& parent, const char* name, bool value) {
    parent.addTextChild(name, BoolToText(value ? 1 : 0));
}

void ConnApiWriter::hex(XmlParentNode& parent, const char* name, const ByteArray& bytes) {
    parent.addTextChild(name, bytes.toHex().text());
}

XmlParentNode ConnApiWriter::element(XmlParentNode& parent, const char* name) {
    return XmlParentNode(parent.addChild(name));
}

XmlParentNode ConnApiWriter::array(XmlParentNode& parent, const char* name) {
    SharedXmlNode node = parent.addChild(name);
    node.setAttribute(ConnApiConstants::ARRAY_TYPE_ATTRIBUTE, ConnApiConstants::ARRAY_TYPE_VALUE);
    return XmlParentNode(node);
}
