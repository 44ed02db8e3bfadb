#include "gui/orvik/XmlReader.h"

#include <cstdlib>

#include "gui/orvik/Conversions.h"
#include "gui/orvik/EntityExpansion.h"
#include "gui/orvik/Exception.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/LibXmlState.h"

namespace orvik {

namespace {

std::string text(const xmlChar* value) {
    return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
}

// An attribute value owned by the library's caller.
class OwnedText {
public:
    explicit OwnedText(xmlChar* value) : value_(value) {}
    ~OwnedText() { xmlFree(value_); }
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;
    bool present() const { return value_ != nullptr; }
    std::string str() const { return text(value_); }

private:
    xmlChar* value_;
};

const xmlChar* xml(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}

}  // namespace

XmlReader::XmlReader(const std::string& path) {
    // The reader substitutes entities as it goes; what they add is bounded for the whole file first.
    EntityExpansion::check(path);
    file_ = openFile(path, "r");
    if (file_ == nullptr) {
        throw Exception(ORVIK_LOCATED("Could not open: \"" + path + "\""));
    }
    buffer_ = xmlParserInputBufferCreateFile(file_, XML_CHAR_ENCODING_UTF8);
    if (buffer_ == nullptr) {
        std::fclose(file_);
        throw Exception(ORVIK_LOCATED("Error creating the xml input buffer for " + path));
    }
    LibXmlState::use();
    reader_ = xmlNewTextReader(buffer_, path.c_str());
    if (reader_ == nullptr ||
        xmlTextReaderSetup(reader_, nullptr, path.c_str(), nullptr, LibXmlState::parseOptions()) != 0) {
        if (reader_ != nullptr) xmlFreeTextReader(reader_);
        reader_ = nullptr;
        xmlFreeParserInputBuffer(buffer_);
        std::fclose(file_);
        throw Exception(ORVIK_LOCATED("Error creating the xml reader for " + path));
    }
    installErrorHook();
}

XmlReader::XmlReader(xmlTextReaderPtr reader) : reader_(reader) {
    if (reader_ != nullptr) {
        installErrorHook();
    }
}

XmlReader::~XmlReader() {
    if (reader_ != nullptr) {
        xmlFreeTextReader(reader_);
    }
    // The buffer still reads from the file while it is being freed, so the file closes last.
    if (buffer_ != nullptr) {
        xmlFreeParserInputBuffer(buffer_);
    }
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void XmlReader::installErrorHook() {
    xmlTextReaderSetErrorHandler(reader_, &XmlReader::onError, this);
}

void XmlReader::onError(void* self, const char* message, xmlParserSeverities severity,
                        xmlTextReaderLocatorPtr) {
    if (severity != XML_PARSER_SEVERITY_ERROR && severity != XML_PARSER_SEVERITY_VALIDITY_ERROR) {
        return;
    }
    auto* reader = static_cast<XmlReader*>(self);
    if (reader->failed_) {
        return;  // the first error is the one that explains the rest
    }
    reader->failed_ = true;
    reader->error_ = message != nullptr ? message : "";
    while (!reader->error_.empty() && reader->error_.back() == '\n') {
        reader->error_.pop_back();
    }
}

void XmlReader::raisePendingError() {
    if (failed_) {
        throw Exception(ORVIK_LOCATED(" XmlReader error: " + error_));
    }
}

bool XmlReader::read() {
    const LibXmlState::ReadingSettings reading;
    const int result = xmlTextReaderRead(reader_);
    raisePendingError();
    if (result < 0) {
        // A failure the library did not describe must not pass for the end of the file.
        throw Exception(ORVIK_LOCATED(" XmlReader error: the document could not be read"));
    }
    return result == 1;
}

int XmlReader::nodeType() const {
    return xmlTextReaderNodeType(reader_);
}

bool XmlReader::isEmptyElement() const {
    return xmlTextReaderIsEmptyElement(reader_) == 1;
}

std::string XmlReader::name() const {
    return text(xmlTextReaderConstName(reader_));
}

bool XmlReader::readTo(int type) {
    while (read()) {
        if (nodeType() == type) {
            return true;
        }
    }
    return false;
}

bool XmlReader::skipTo(int type, const std::string& elementName) {
    while (read()) {
        if (nodeType() == type && name() == elementName) {
            return true;
        }
    }
    return false;
}

std::string XmlReader::getAttribute(const std::string& attribute) const {
    const OwnedText value(xmlTextReaderGetAttribute(reader_, xml(attribute)));
    if (!value.present()) {
        throw Exception(ORVIK_LOCATED(" -- no such attribute '" + attribute + "'"));
    }
    return value.str();
}

std::string XmlReader::getAttribute(int index) const {
    const OwnedText value(xmlTextReaderGetAttributeNo(reader_, index));
    if (!value.present()) {
        throw Exception(ORVIK_LOCATED(" -- invalid attribute index " + toString(index)));
    }
    return value.str();
}

std::string XmlReader::getAttribute(const std::string& attribute, const std::string& defaultValue) const {
    const OwnedText value(xmlTextReaderGetAttribute(reader_, xml(attribute)));
    return value.present() ? value.str() : defaultValue;
}

bool XmlReader::hasAttribute(const std::string& attribute) const {
    return OwnedText(xmlTextReaderGetAttribute(reader_, xml(attribute))).present();
}

bool XmlReader::hasAttribute(int index) const {
    return OwnedText(xmlTextReaderGetAttributeNo(reader_, index)).present();
}

bool XmlReader::getBool(const std::string& attribute, bool defaultValue) const {
    const OwnedText value(xmlTextReaderGetAttribute(reader_, xml(attribute)));
    return value.present() ? value.str() == "true" : defaultValue;
}

int XmlReader::getInt(const std::string& attribute, int defaultValue) const {
    const OwnedText value(xmlTextReaderGetAttribute(reader_, xml(attribute)));
    return value.present() ? std::atoi(value.str().c_str()) : defaultValue;
}

bool XmlReader::moveToNextAttribute() {
    return xmlTextReaderMoveToNextAttribute(reader_) == 1;
}

std::string XmlReader::value(int type) {
    while (nodeType() != type) {
        if (nodeType() == XML_READER_TYPE_END_ELEMENT || !read()) {
            return std::string();
        }
    }
    return text(xmlTextReaderConstValue(reader_));
}

}  // namespace orvik
