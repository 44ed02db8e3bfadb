#pragma once

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/XmlText.h"

namespace tamsel::test {

// Writes lab files for tests: elements with their attributes in order, optionally with <oid>
// children, and the text or file they make. A test writes the lab into its TempHome as
// "lab.xml" (the lab reads it from there unless TAMSEL_LAB names another file):
//     LabBuilder lab;
//     lab.wiredAdapter(1, "eth0").wirelessAdapter(2, "wlan0");
//     lab.add("accessPoint", {{"ssid", "corp"}, {"bssid", "02:aa:00:00:00:01"}});
//     lab.writeTo(home.file("lab.xml"));
class LabBuilder {
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    // The symbolic name of test adapter n: "{6F1A0C2E-0000-4000-8000-00000000000n}" (n up to 0xFFF).
    static std::string guid(int n) {
        char text[40];
        std::snprintf(text, sizeof text, "{6F1A0C2E-0000-4000-8000-%012X}", n);
        return text;
    }
    // Its MAC address "02:00:00:00:0x:xx".
    static std::string mac(int n) {
        char text[20];
        std::snprintf(text, sizeof text, "02:00:00:00:%02x:%02x", (n >> 8) & 0xFF, n & 0xFF);
        return text;
    }

    LabBuilder& add(const std::string& element, Attributes attributes) {
        m_elements.push_back({element, std::move(attributes), {}});
        return *this;
    }
    // An <oid> answer below the element added last.
    LabBuilder& oid(const std::string& id, const std::string& hex) {
        if (m_elements.empty()) throw std::logic_error("oid without an element");
        m_elements.back().children.push_back({"oid", {{"id", id}, {"hex", hex}}, {}});
        return *this;
    }

    LabBuilder& wiredAdapter(int n, const std::string& friendly, Attributes more = {}) {
        Attributes attributes = {
            {"name", guid(n)}, {"friendly", friendly}, {"media", "wired"}, {"mac", mac(n)}};
        attributes.insert(attributes.end(), more.begin(), more.end());
        return add("adapter", std::move(attributes));
    }
    LabBuilder& wirelessAdapter(int n, const std::string& friendly, Attributes more = {}) {
        Attributes attributes = {
            {"name", guid(n)}, {"friendly", friendly}, {"media", "wireless"}, {"mac", mac(n)}};
        attributes.insert(attributes.end(), more.begin(), more.end());
        return add("adapter", std::move(attributes));
    }
    LabBuilder& at(int ms, const std::string& command) {
        return add("at", {{"ms", std::to_string(ms)}, {"do", command}});
    }
    LabBuilder& library(const std::string& version, const std::string& built) {
        return add("library", {{"version", version}, {"built", built}});
    }

    std::string text() const {
        std::string xml = "<lab>\n";
        for (const Node& node : m_elements) write(node, "  ", &xml);
        return xml + "</lab>\n";
    }
    void writeTo(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text();
        if (!out) throw std::runtime_error("cannot write " + path);
    }

private:
    struct Node {
        std::string name;
        Attributes attributes;
        std::vector<Node> children;
    };

    static std::string escape(const std::string& value) { return base::xmlEscaped(value); }

    static void write(const Node& node, const std::string& indent, std::string* xml) {
        *xml += indent + "<" + node.name;
        for (const auto& [name, value] : node.attributes) *xml += " " + name + "=\"" + escape(value) + "\"";
        if (node.children.empty()) {
            *xml += "/>\n";
            return;
        }
        *xml += ">\n";
        for (const Node& child : node.children) write(child, indent + "  ", xml);
        *xml += indent + "</" + node.name + ">\n";
    }

    std::vector<Node> m_elements;
};

}  // namespace tamsel::test
