#pragma once

#include "vel/configuration/Configuration.h"
#include "vel/libxml2/SharedXmlNode.h"
#include "vel/xml/XmlConfigurationRecord.h"

// The administrator's file "configuration.xml": its root (of any name) read into a record, and the
// configuration "xml config" built from it.
class Xml_Configuration {
public:
    static constexpr const char* CONFIGURATION_NAME = "xml config";
    static constexpr std::int32_t MAJOR_VERSION = 5;
    static constexpr std::int32_t MINOR_VERSION_0 = 0;
    static constexpr std::int32_t MINOR_VERSION_1 = 1;
    static constexpr std::int32_t DEVELOPMENT_VERSION_1 = 1;

    // The children and attributes in the order the file defines; XmlException (or an enumeration's
    // ConversionException) names the first problem.
    static XmlConfigurationRecord ReadRoot(const SharedXmlNode& root);
    // The configuration of the record. Nothing is told to the matchmaker: the file may still be
    // refused.
    static Configuration build(const XmlConfigurationRecord& record);
    // ReadRoot, build and Configuration::validate ("Invalid configuration file." when it fails).
    // Only an accepted file sets the service-wide default timeouts and tells the matchmaker its
    // media; a refused one leaves nothing behind.
    static Configuration readAdministratorFile(const SharedXmlNode& root);
};
