#include "gui/orvik/EntityExpansion.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <map>
#include <memory>

#include "gui/orvik/Conversions.h"
#include "gui/orvik/Exception.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/LibXmlState.h"

namespace orvik {

namespace {

// The size of each entity's text once its own references are substituted, saturated just above
// the limit; an entity that refers to itself through others counts nothing more (the library
// refuses such a loop when it reads).
class EntitySizes {
public:
    EntitySizes(xmlDocPtr doc, size_t limit) : doc_(doc), cap_(limit + 1) {}

    size_t of(const xmlChar* name) {
        xmlEntityPtr entity = xmlGetDocEntity(doc_, name);
        if (entity == nullptr || entity->content == nullptr) return 0;
        auto known = sizes_.find(entity);
        if (known != sizes_.end()) return known->second;
        sizes_[entity] = 0;  // while it is being counted
        size_t size = 0;
        const xmlChar* text = entity->content;
        for (size_t i = 0; text[i] != 0 && size < cap_;) {
            if (text[i] != '&') {
                ++size;
                ++i;
                continue;
            }
            size_t end = i + 1;
            while (text[end] != 0 && text[end] != ';') ++end;
            if (text[end] == 0) {
                size += end - i;
                break;
            }
            if (text[i + 1] == '#') {
                size += 4;  // a character reference: one character of at most four bytes
            } else {
                std::unique_ptr<xmlChar, decltype(xmlFree)> nested(xmlStrndup(text + i + 1, static_cast<int>(end - i - 1)),
                                                                   xmlFree);
                size += of(nested.get());
            }
            i = end + 1;
        }
        if (size > cap_) size = cap_;
        sizes_[entity] = size;
        return size;
    }

private:
    xmlDocPtr doc_;
    size_t cap_;
    std::map<xmlEntityPtr, size_t> sizes_;
};

// The references of the nodes and their attributes, each counted at its entity's whole size.
size_t referencedSize(xmlNodePtr node, EntitySizes& sizes, size_t cap) {
    size_t total = 0;
    for (; node != nullptr && total < cap; node = node->next) {
        if (node->type == XML_ENTITY_REF_NODE) {
            // Its children are the entity's declaration, not part of the document.
            total += sizes.of(node->name);
            continue;
        }
        if (node->type == XML_ELEMENT_NODE) {
            for (xmlAttrPtr attribute = node->properties; attribute != nullptr && total < cap;
                 attribute = attribute->next)
                total += referencedSize(attribute->children, sizes, cap);
        }
        if (node->type != XML_DTD_NODE) total += referencedSize(node->children, sizes, cap);
    }
    return total;
}

std::string fileText(const std::string& path) {
    std::string text;
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return text;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace

void EntityExpansion::check(const std::string& path, size_t limit) {
    const std::string text = fileText(path);
    if (text.find("<!ENTITY") == std::string::npos) return;
    LibXmlState::use();
    const LibXmlState::ReadingSettings reading;
    // Read without substitution: each reference stays a node of its own, to be counted.
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> context(xmlNewParserCtxt(), &xmlFreeParserCtxt);
    if (!context) return;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()), path.c_str(), "UTF-8",
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        &xmlFreeDoc);
    if (!doc) return;
    EntitySizes sizes(doc.get(), limit);
    const size_t added = referencedSize(doc->children, sizes, limit + 1);
    if (added > limit) {
        throw Exception(ORVIK_LOCATED(" XmlReader error: the entities of " + path + " would add more than " +
                                      toString(static_cast<unsigned long>(limit)) + " bytes"));
    }
}

}  // namespace orvik
