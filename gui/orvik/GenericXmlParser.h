#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/orvik/Exception.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/IncludeChain.h"
#include "gui/orvik/LibXmlState.h"
#include "gui/orvik/XmlReader.h"

namespace orvik {

// Reads XML files in one forward pass and hands each element start and end to the handler that
// `Settings` registered for the element's name. A handler may read another file with the same parser;
// the including file's reader waits on a stack and resumes where it stopped.
template <class Settings>
class GenericXmlParser {
public:
    using Handler = void (Settings::*)(int nodeType);

    static constexpr int ELEMENT_START = 1;
    static constexpr int ELEMENT_END = 15;

    GenericXmlParser() = default;
    GenericXmlParser(const GenericXmlParser&) = delete;
    GenericXmlParser& operator=(const GenericXmlParser&) = delete;
    virtual ~GenericXmlParser() = default;

    virtual void read(const std::string& filename) {
        if (filename.empty() || !isFile(filename)) {
            throw Exception("GenericXmlParser -- read() called with invalid filename!");
        }
        LibXmlState::use();
        chain_.enter(filename);
        if (reader_) {
            suspended_.push_back(std::move(reader_));
        }
        try {
            reader_ = std::make_unique<XmlReader>(filename);
            while (reader_->read()) {
                const int type = reader_->nodeType();
                if (type == ELEMENT_START || type == ELEMENT_END) {
                    processNode(type);
                }
            }
        } catch (...) {
            close();
            resume();
            throw;
        }
        close();
        resume();
    }

    virtual void processNode(int nodeType) {
        const std::string name = reader_->name();
        const auto found = handlers().find(name);
        if (found == handlers().end()) {
            throw Exception("GenericXmlReader -- Missing handler for element [" +
                            std::string(nodeType == ELEMENT_END ? "/" : "") + name + "]");
        }
        (static_cast<Settings*>(this)->*(found->second))(nodeType);
    }

    virtual void close() { reader_.reset(); }

    virtual void ignoreElement(int) {}

    virtual void skipElement(int nodeType) {
        if (nodeType == ELEMENT_START && !reader_->isEmptyElement()) {
            reader_->skipTo(ELEMENT_END, reader_->name());
        }
    }

protected:
    static std::map<std::string, Handler>& handlers() {
        static std::map<std::string, Handler> table;
        return table;
    }

    XmlReader& reader() { return *reader_; }

private:
    void resume() {
        chain_.leave();
        if (!suspended_.empty()) {
            reader_ = std::move(suspended_.back());
            suspended_.pop_back();
        }
    }

    std::unique_ptr<XmlReader> reader_;
    std::vector<std::unique_ptr<XmlReader>> suspended_;
    IncludeChain chain_;
};

}  // namespace orvik
