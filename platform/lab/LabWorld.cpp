#include "platform/lab/LabWorld.h"

#include <algorithm>
#include <cstdlib>

namespace lab {

namespace {

bool fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

uint8_t hexByte(const std::string& digits, size_t at) {
    return static_cast<uint8_t>(std::strtoul(digits.substr(at, 2).c_str(), nullptr, 16));
}

// Attributes that name a lab adapter (by name or friendly name) or, for "on" and "requires", an
// access point's SSID.
bool namesAdapterOnly(const std::string& element, const std::string& attribute) {
    return element == "accessPoint" && attribute == "adapter";
}
bool namesAdapterOrSsid(const std::string& element, const std::string& attribute) {
    return ((element == "authenticator" || element == "dhcp") && attribute == "on") ||
           (element == "vpnGateway" && attribute == "requires");
}

}  // namespace

const ElementSpec* Element::spec() const {
    return m_name == childSpec().name ? &childSpec() : elementSpec(m_name);
}

bool Element::has(const std::string& attribute) const {
    return std::any_of(m_attributes.begin(), m_attributes.end(),
                       [&](const auto& pair) { return pair.first == attribute; });
}

std::string Element::text(const std::string& attribute) const {
    for (const auto& [name, value] : m_attributes)
        if (name == attribute) return value;
    const ElementSpec* element = spec();
    const AttributeSpec* specOfAttribute = element != nullptr ? attributeSpec(*element, attribute) : nullptr;
    return specOfAttribute != nullptr ? specOfAttribute->defaultValue : "";
}

long long Element::integer(const std::string& attribute) const {
    return std::strtoll(text(attribute).c_str(), nullptr, 0);
}

bool Element::flag(const std::string& attribute) const {
    return text(attribute) == "true";
}

std::vector<uint8_t> Element::bytes(const std::string& attribute) const {
    std::string digits;
    for (char c : text(attribute))
        if (c != ':') digits.push_back(c);
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < digits.size(); i += 2) out.push_back(hexByte(digits, i));
    return out;
}

bool Element::set(const std::string& attribute, const std::string& value, const std::string& labFolder,
                  std::string* error) {
    const ElementSpec* element = spec();
    const AttributeSpec* specOfAttribute = element != nullptr ? attributeSpec(*element, attribute) : nullptr;
    if (specOfAttribute == nullptr)
        return fail(error, "unknown attribute '" + attribute + "' of <" + m_name + ">");
    std::string canonical;
    std::string reason;
    if (!checkValue(*specOfAttribute, value, labFolder, &canonical, &reason))
        return fail(error, "bad value \"" + value + "\" of " + attribute + ": " + reason);
    for (auto& pair : m_attributes) {
        if (pair.first == attribute) {
            pair.second = canonical;
            return true;
        }
    }
    m_attributes.emplace_back(attribute, canonical);
    return true;
}

void Element::unset(const std::string& attribute) {
    for (auto pair = m_attributes.begin(); pair != m_attributes.end(); ++pair) {
        if (pair->first != attribute) continue;
        m_attributes.erase(pair);
        return;
    }
}

bool Element::complete(std::string* error) const {
    const ElementSpec* element = spec();
    for (const char* required : element->required)
        if (!has(required)) return fail(error, "<" + m_name + "> without " + required);
    auto apart = [&](const char* a, const char* b) { return !(has(a) && has(b)); };
    if (m_name == "accessPoint" && !apart("passphrase", "psk"))
        return fail(error, "<accessPoint> with both passphrase and psk");
    if (m_name == "vpnGateway" && has("password") && flag("token"))
        return fail(error, "<vpnGateway> with both password and token");
    if (m_name == "authenticator" && has("inner")) {
        std::string method = text("method");
        std::string inner = text("inner");
        bool tunnel = method == "peap" || method == "fast";
        bool ok = (tunnel && (inner == "mschapv2" || inner == "gtc" || inner == "tls")) ||
                  (method == "ttls" && inner != "gtc" && inner != "tls");
        if (!ok) return fail(error, "inner method " + inner + " is not one of " + method);
    }
    return true;
}

std::string Element::describe() const {
    std::string text = m_name;
    const ElementSpec* element = spec();
    for (const char* key : {element->key, element->altKey})
        if (key != nullptr && has(key)) text += std::string(" ") + key + "=\"" + this->text(key) + "\"";
    return text;
}

const std::vector<Element>& World::all(const std::string& name) const {
    static const std::vector<Element> none;
    auto it = m_elements.find(name);
    return it == m_elements.end() ? none : it->second;
}

const Element* World::find(const std::string& name, const std::string& keyValue) const {
    const ElementSpec* spec = elementSpec(name);
    if (spec == nullptr) return nullptr;
    for (const Element& element : all(name)) {
        if (spec->key == nullptr) return &element;
        if (element.text(spec->key) == keyValue) return &element;
        if (spec->altKey != nullptr && element.has(spec->altKey) && element.text(spec->altKey) == keyValue)
            return &element;
    }
    return nullptr;
}

Element* World::lookup(const std::string& name, const std::string& keyValue, std::string* error) {
    const ElementSpec* spec = elementSpec(name);
    if (spec == nullptr) return fail(error, "unknown element <" + name + ">"), nullptr;
    if (spec->key == nullptr && !spec->single)
        return fail(error, "<" + name + "> cannot be addressed"), nullptr;
    if (spec->key != nullptr && keyValue.empty())
        return fail(error, "<" + name + "> needs its " + spec->key), nullptr;
    const Element* found = find(name, keyValue);
    if (found == nullptr) {
        fail(error, spec->key != nullptr ? "no " + name + " " + keyValue : "no " + name);
        return nullptr;
    }
    return const_cast<Element*>(found);
}

bool World::unique(const Element& element, const Element* except, std::string* error) const {
    const ElementSpec* spec = elementSpec(element.name());
    for (const Element& other : all(element.name())) {
        if (&other == except) continue;
        if (spec->single) return fail(error, "a second <" + element.name() + ">");
        for (const char* key : {spec->key, spec->altKey}) {
            if (key == nullptr || !element.has(key)) continue;
            for (const char* otherKey : {spec->key, spec->altKey}) {
                if (otherKey != nullptr && other.has(otherKey) && other.text(otherKey) == element.text(key))
                    return fail(error,
                                "duplicate " + element.name() + " " + key + " \"" + element.text(key) + "\"");
            }
        }
    }
    return true;
}

bool World::referencesHold(const Element& element, std::string* error) const {
    for (const auto& [attribute, value] : element.attributes()) {
        bool adapterOnly = namesAdapterOnly(element.name(), attribute);
        bool orSsid = namesAdapterOrSsid(element.name(), attribute);
        if (!adapterOnly && !orSsid) continue;
        if (find("adapter", value) != nullptr) continue;
        if (orSsid) {
            const auto& points = all("accessPoint");
            const std::string& ssid = value;  // clang refuses a structured binding in a capture
            if (std::any_of(points.begin(), points.end(),
                            [&](const Element& p) { return p.text("ssid") == ssid; }))
                continue;
        }
        return fail(error,
                    attribute + " \"" + value + "\" names no " + (orSsid ? "adapter or SSID" : "adapter"));
    }
    return true;
}

bool World::add(Element element, bool checkReferencesNow, std::string* error) {
    if (!element.complete(error) || !unique(element, nullptr, error)) return false;
    if (checkReferencesNow && !referencesHold(element, error)) return false;
    m_elements[element.name()].push_back(std::move(element));
    return true;
}

bool World::set(const std::string& name, const std::string& keyValue,
                const std::vector<std::pair<std::string, std::string>>& attributes, std::string* error) {
    Element* element = lookup(name, keyValue, error);
    if (element == nullptr) return false;
    const ElementSpec* spec = elementSpec(name);
    Element changed = *element;
    for (const auto& [attribute, value] : attributes) {
        if ((spec->key != nullptr && attribute == spec->key) ||
            (spec->altKey != nullptr && attribute == spec->altKey))
            return fail(error, attribute + " cannot change");
        if (!changed.set(attribute, value, folder, error)) return false;
    }
    if (!changed.complete(error) || !referencesHold(changed, error)) return false;
    *element = std::move(changed);
    return true;
}

bool World::unset(const std::string& name, const std::string& keyValue, const std::string& attribute,
                  std::string* error) {
    Element* element = lookup(name, keyValue, error);
    if (element == nullptr) return false;
    const ElementSpec* spec = elementSpec(name);
    if ((spec->key != nullptr && attribute == spec->key) || (spec->altKey != nullptr && attribute == spec->altKey))
        return fail(error, attribute + " cannot change");
    Element changed = *element;
    changed.unset(attribute);
    if (!changed.complete(error)) return false;
    *element = std::move(changed);
    return true;
}

bool World::remove(const std::string& name, const std::string& keyValue, std::string* error) {
    Element* element = lookup(name, keyValue, error);
    if (element == nullptr) return false;
    auto& list = m_elements[name];
    list.erase(list.begin() + (element - list.data()));
    return true;
}

bool World::checkReferences(int* line, std::string* error) const {
    for (const auto& [name, list] : m_elements) {
        for (const Element& element : list) {
            if (!referencesHold(element, error)) {
                *line = element.line();
                return false;
            }
        }
    }
    return true;
}

void World::clear() {
    m_elements.clear();
    // Their buffers go too: a cleared world keeps nothing of the lab it held.
    std::string().swap(file);
    std::string().swap(folder);
}

}  // namespace lab
