#include "platform/lab/LabReader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/base/Root.h"

namespace lab {

namespace {

std::string name(const xmlNode* node) {
    return reinterpret_cast<const char*>(node->name);
}

std::string content(xmlAttr* attribute) {
    xmlChar* value = xmlNodeListGetString(attribute->doc, attribute->children, 1);
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

bool onlyBlanks(const xmlNode* node) {
    for (const xmlChar* c = node->content; c != nullptr && *c != '\0'; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') return false;
    return true;
}

class Reader {
public:
    // libxml2 reports every error of a bad document; the first one says what went wrong.
    static void onParseError(void* data, xmlErrorPtr problem) {
        auto* reader = static_cast<Reader*>(static_cast<xmlParserCtxtPtr>(data)->_private);
        if (reader->m_parseLine != 0 || problem == nullptr) return;
        reader->m_parseLine = problem->line > 0 ? problem->line : 1;
        reader->m_parseMessage = problem->message != nullptr ? problem->message : "not XML";
        while (!reader->m_parseMessage.empty() && reader->m_parseMessage.back() == '\n')
            reader->m_parseMessage.pop_back();
    }

    Reader(std::string file, std::string folder, World* world, std::string* error)
        : m_file(std::move(file)), m_folder(std::move(folder)), m_world(world), m_error(error) {}

    bool read(const std::string& text) {
        m_world->clear();
        m_world->file = m_file;
        m_world->folder = m_folder;
        xmlParserCtxtPtr context = xmlNewParserCtxt();
        if (context == nullptr) return fail(0, "out of memory");
        context->_private = this;
        context->sax->serror = onParseError;
        xmlDocPtr document =
            xmlCtxtReadMemory(context, text.data(), static_cast<int>(text.size()), m_file.c_str(), nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        bool ok;
        if (document == nullptr || m_parseLine != 0) {
            ok = fail(m_parseLine != 0 ? m_parseLine : 1, m_parseLine != 0 ? m_parseMessage : "not XML");
            if (document != nullptr) xmlFreeDoc(document);
        } else {
            ok = readRoot(xmlDocGetRootElement(document));
            xmlFreeDoc(document);
        }
        xmlFreeParserCtxt(context);
        if (!ok) m_world->clear();
        return ok;
    }

private:
    bool fail(long line, const std::string& reason) {
        *m_error = m_file + ":" + std::to_string(line) + ": " + reason;
        return false;
    }

    bool readRoot(xmlNode* root) {
        if (root == nullptr || name(root) != "lab")
            return fail(root != nullptr ? xmlGetLineNo(root) : 1, "the root element is not <lab>");
        if (root->properties != nullptr) return fail(xmlGetLineNo(root), "<lab> has no attributes");
        for (xmlNode* node = root->children; node != nullptr; node = node->next) {
            if (!acceptable(node)) return false;
            if (node->type != XML_ELEMENT_NODE) continue;
            Element element;
            if (!readElement(node, nullptr, &element)) return false;
            std::string reason;
            if (!m_world->add(std::move(element), false, &reason)) return fail(xmlGetLineNo(node), reason);
        }
        int line = 0;
        std::string reason;
        if (!m_world->checkReferences(&line, &reason)) return fail(line, reason);
        return true;
    }

    // Elements, comments and blank text only.
    bool acceptable(xmlNode* node) {
        if (node->type == XML_ELEMENT_NODE || node->type == XML_COMMENT_NODE) return true;
        if (node->type == XML_TEXT_NODE && onlyBlanks(node)) return true;
        return fail(xmlGetLineNo(node), "text or markup where only elements belong");
    }

    bool readElement(xmlNode* node, const ElementSpec* parent, Element* element) {
        long line = xmlGetLineNo(node);
        std::string elementName = name(node);
        const ElementSpec* spec = nullptr;
        if (parent == nullptr) {
            spec = elementSpec(elementName);
        } else if (parent->child != nullptr && elementName == parent->child) {
            spec = &childSpec();
        }
        if (spec == nullptr || node->ns != nullptr)
            return fail(line, "unknown element <" + elementName + ">" +
                                  (parent ? std::string(" in <") + parent->name + ">" : ""));
        *element = Element(elementName, static_cast<int>(line));
        for (xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
            std::string reason;
            if (attribute->ns != nullptr)
                return fail(line, "unknown attribute '" + name(reinterpret_cast<xmlNode*>(attribute)) +
                                      "' of <" + elementName + ">");
            if (!element->set(reinterpret_cast<const char*>(attribute->name), content(attribute), m_folder,
                              &reason))
                return fail(line, reason);
        }
        for (xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (!acceptable(child)) return false;
            if (child->type != XML_ELEMENT_NODE) continue;
            if (spec->child == nullptr)
                return fail(xmlGetLineNo(child),
                            "unknown element <" + name(child) + "> in <" + elementName + ">");
            Element inner;
            if (!readElement(child, spec, &inner)) return false;
            std::string reason;
            if (!inner.complete(&reason)) return fail(xmlGetLineNo(child), reason);
            for (const Element& sibling : element->children())
                if (sibling.integer("id") == inner.integer("id"))
                    return fail(xmlGetLineNo(child), "duplicate oid id " + inner.text("id"));
            element->addChild(std::move(inner));
        }
        return true;
    }

    std::string m_file;
    std::string m_folder;
    World* m_world;
    std::string* m_error;
    int m_parseLine = 0;
    std::string m_parseMessage;
};

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string labFilePath() {
    const char* variable = std::getenv("TAMSEL_LAB");
    if (variable != nullptr && *variable != '\0') return variable;
    return base::programDataRoot() + "/lab.xml";
}

bool readLabFile(const std::string& path, World* world, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        world->clear();
        world->file = path;
        world->folder = folderOf(path);
        return true;
    }
    std::stringstream text;
    text << in.rdbuf();
    return readLabText(text.str(), path, folderOf(path), world, error);
}

bool readLabText(const std::string& text, const std::string& name, const std::string& folder, World* world,
                 std::string* error) {
    return Reader(name, folder, world, error).read(text);
}

}  // namespace lab
