#pragma once

#include <libxml/xmlreader.h>

#include <cstdio>
#include <string>

namespace orvik {

// A forward-only pull reader over one XML file (libxml2's text reader).
class XmlReader {
public:
    // XmlReader::open: reads the file at `path` as UTF-8.
    explicit XmlReader(const std::string& path);
    // Takes over a reader made elsewhere.
    explicit XmlReader(xmlTextReaderPtr reader);
    virtual ~XmlReader();

    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    bool read();
    int nodeType() const;
    bool isEmptyElement() const;
    std::string name() const;
    bool readTo(int nodeType);
    bool skipTo(int nodeType, const std::string& name);

    std::string getAttribute(const std::string& name) const;
    std::string getAttribute(int index) const;
    std::string getAttribute(const std::string& name, const std::string& defaultValue) const;
    bool hasAttribute(const std::string& name) const;
    bool hasAttribute(int index) const;
    bool getBool(const std::string& name, bool defaultValue) const;
    int getInt(const std::string& name, int defaultValue) const;
    bool moveToNextAttribute();
    std::string value(int nodeType);

private:
    static void onError(void* self, const char* message, xmlParserSeverities severity,
                        xmlTextReaderLocatorPtr locator);
    void installErrorHook();
    // The library only reports through the hook; the error is raised once control is back here.
    void raisePendingError();

    xmlTextReaderPtr reader_ = nullptr;
    xmlParserInputBufferPtr buffer_ = nullptr;
    std::FILE* file_ = nullptr;
    std::string error_;
    bool failed_ = false;
};

}  // namespace orvik
