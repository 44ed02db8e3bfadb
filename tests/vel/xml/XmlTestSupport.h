#pragma once

#include <string>

#include "vel/exception/XmlException.h"
#include "vel/libxml2/XmlDocument.h"
#include "vel/string/Ascii.h"
#include "vel/string/ByteArray.h"

// The text of the exception that the action raised; "no exception" when it returned.
template <typename Action>
std::string messageOf(Action action) {
    try {
        action();
    } catch (const XmlException& e) {
        return e.function().text();
    }
    return "no exception";
}

inline SharedXmlNode parseRoot(XmlDocument& document, const std::string& text) {
    document.parse(text.data(), static_cast<int>(text.size()));
    return document.rootElement();
}

inline std::string str(const ByteArray& bytes) {
    return std::string(bytes.text(), bytes.length());
}
inline std::string str(const Ascii& text) {
    return std::string(text.text(), text.length());
}
inline ByteArray bytesOf(const std::string& s) {
    return ByteArray(s.data(), static_cast<int>(s.size()));
}
inline Ascii asciiOf(const std::string& s) {
    return Ascii(s.data(), static_cast<int>(s.size()));
}
