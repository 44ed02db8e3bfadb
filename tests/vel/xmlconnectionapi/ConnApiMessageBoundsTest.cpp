// A received message is measured before it is parsed: its length, the attributes of each element
// and the nesting of elements, each refused one over its limit and taken at it; what a parser
// passes over whole (comments, processing instructions, character data) does not count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessageBounds.h"

namespace {

using L = ConnApiLimitConstants;
using V = ConnApiMessageBounds::Verdict;

V check(const std::string& message) {
    return ConnApiMessageBounds::check(message.data(), static_cast<int>(message.size()));
}

std::string attributes(int count, const std::string& value = "v") {
    std::string text;
    for (int i = 0; i < count; ++i) text += " a" + std::to_string(i) + "=\"" + value + "\"";
    return text;
}

std::string nested(int depth, bool emptyInnermost = false) {
    std::string open;
    std::string close;
    for (int i = 0; i < depth; ++i) {
        if (emptyInnermost && i == depth - 1) {
            open += "<e/>";
        } else {
            open += "<e>";
            close = "</e>" + close;
        }
    }
    return open + close;
}

// A message of exactly `length` bytes.
std::string padded(int length) {
    std::string message = "<a></a>";
    message.insert(3, std::string(static_cast<size_t>(length) - message.size(), 'x'));
    return message;
}

TEST(ConnApiMessageBoundsTest, EachLimitRefusesOneOverItAndTakesItExactly) {
    const int most = L::MAX_ATTRIBUTES_PER_ELEMENT;
    const struct {
        const char* name;
        std::string message;
        V verdict;
    } cases[] = {
        {"length at its limit", padded(L::MAX_RECEIVED_MESSAGE_LENGTH), V::WITHIN},
        {"length one over", padded(L::MAX_RECEIVED_MESSAGE_LENGTH + 1), V::TOO_LONG},
        {"attributes at their limit", "<a" + attributes(most) + "/>", V::WITHIN},
        {"attributes one over", "<a" + attributes(most + 1) + "/>", V::TOO_MANY_ATTRIBUTES},
        {"attributes one over on an inner element", "<a><b" + attributes(most + 1) + "></b></a>",
         V::TOO_MANY_ATTRIBUTES},
        {"attributes one over in a tag that never ends", "<a" + attributes(most + 1), V::TOO_MANY_ATTRIBUTES},
        {"many attributes over many elements", "<r>" + [&] {
             std::string all;
             for (int i = 0; i < 100; ++i) all += "<a" + attributes(most) + "/>";
             return all;
         }() + "</r>",
         V::WITHIN},
        {"depth at its limit", nested(L::MAX_ELEMENT_DEPTH), V::WITHIN},
        {"depth one over", nested(L::MAX_ELEMENT_DEPTH + 1), V::TOO_DEEP},
        {"an empty element at the limit's depth", nested(L::MAX_ELEMENT_DEPTH, true), V::WITHIN},
        {"depth one over behind an element closed before", "<r><x></x>" + nested(L::MAX_ELEMENT_DEPTH) + "</r>",
         V::TOO_DEEP},
        {"a document type", "<!DOCTYPE a [<!ENTITY e \"x\">]><a/>", V::DECLARATION},
        // A parser ends a broken tag at the next '<' and reads the tag behind it.
        {"attributes behind an unclosed quote", "<r><a b='<c" + attributes(most + 1) + "/></r>",
         V::TOO_MANY_ATTRIBUTES},
        {"attributes behind an unclosed end tag", "<r><a></a <c" + attributes(most + 1) + "/></r>",
         V::TOO_MANY_ATTRIBUTES},
        {"depth behind a broken tag", "<r b='" + nested(L::MAX_ELEMENT_DEPTH + 1), V::TOO_DEEP},
        {"a broken tag is no element", "<r b='" + nested(L::MAX_ELEMENT_DEPTH), V::WITHIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(check(c.message), c.verdict);
    }
}

TEST(ConnApiMessageBoundsTest, WhatAParserPassesOverWholeDoesNotCount) {
    const std::string many = attributes(L::MAX_ATTRIBUTES_PER_ELEMENT + 1);
    const std::vector<std::string> within = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>",
        "<a><!--<b" + many + "/>--></a>",
        "<a><![CDATA[<b" + many + "/>]]></a>",
        "<a><?pi <b" + many + "/>?></a>",
        // Quoted values may hold '=' and '>' and the other quote.
        "<a b=\"=>'=\" c='\"=>='/>",
        // Text holds no tags.
        "<a>=====" + std::string(100, '=') + "</a>",
    };
    for (const std::string& message : within) {
        SCOPED_TRACE(message);
        EXPECT_EQ(check(message), V::WITHIN);
    }
    // A comment does not hide what follows it.
    EXPECT_EQ(check("<a><!-- x --><b" + many + "/></a>"), V::TOO_MANY_ATTRIBUTES);
    EXPECT_EQ(check("<a><!-- x -->" + nested(L::MAX_ELEMENT_DEPTH) + "</a>"), V::TOO_DEEP);
}

}  // namespace
