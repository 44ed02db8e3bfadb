#pragma once

#include <exception>
#include <string>

#include "vel/libxml2/XmlDocument.h"

// The text of the exception that the action raised; "no exception" when it returned.
template <typename Action>
std::string messageOf(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no exception";
}

inline SharedXmlNode parseRoot(XmlDocument& document, const std::string& text) {
    document.parse(text.data(), static_cast<int>(text.size()));
    return document.rootElement();
}
