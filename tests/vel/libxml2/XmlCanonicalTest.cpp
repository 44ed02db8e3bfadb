#include <gtest/gtest.h>

#include <string>

#include "vel/libxml2/XmlCanonical.h"
#include "vel/libxml2/XmlDocument.h"

namespace {

struct Case {
    const char* input;
    const char* canonical;
};

TEST(XmlCanonicalTest, CanonicalTextOfSmallDocuments) {
    const Case cases[] = {
        Case{"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a b='2' a=\"1\"/>", "<a a=\"1\" b=\"2\"></a>"},
        Case{"<a><!-- gone --><b>x</b>\n</a><!-- gone too -->", "<a><b>x</b>\n</a>"},
        Case{"<a>&lt;&amp;&gt;\"'&#13;</a>", "<a>&lt;&amp;&gt;\"'&#xD;</a>"},
        Case{"<a><![CDATA[x<y&z]]></a>", "<a>x&lt;y&amp;z</a>"},
        Case{"<!DOCTYPE a [<!ENTITY e \"expanded\">]><a>&e;</a>", "<a>expanded</a>"},
        Case{"<a b=\"x&#9;y&quot;&lt;\"/>", "<a b=\"x&#x9;y&quot;&lt;\"></a>"},
        Case{"<a xmlns=\"urn:x\" xmlns:p=\"urn:p\"><p:b xmlns=\"urn:x\"/></a>",
             "<a xmlns=\"urn:x\" xmlns:p=\"urn:p\"><p:b></p:b></a>"},
        Case{"<Signatures a=\"1\">\n <b/>\n</Signatures>", "<Signatures a=\"1\">\n <b></b>\n</Signatures>"},
        // The signed part of a signature: no root, no text directly below it, everything deeper kept.
        Case{"<Signature a=\"1\">\n <SignedInfo x=\"1\">\n  <R/>\n </SignedInfo>\n loose <V/>\n</Signature>",
             "<SignedInfo x=\"1\">\n  <R></R>\n </SignedInfo><V></V>"},
        Case{"<Signature xmlns=\"urn:s\"><SignedInfo><!--c--><R/></SignedInfo></Signature>",
             "<SignedInfo xmlns=\"urn:s\"><R></R></SignedInfo>"}};
    for (const Case& c : cases) {
        XmlDocument document;
        const std::string input = c.input;
        document.parse(input.data(), static_cast<int>(input.size()));
        const Ascii canonical = xmlCanonicalize(document);
        EXPECT_EQ(std::string(canonical.text(), canonical.length()), c.canonical) << input;
    }
}

}  // namespace
