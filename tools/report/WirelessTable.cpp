#include "tools/report/WirelessTable.h"

#include "tools/report/BssidListDecoder.h"
#include "tools/report/ReportConstants.h"

namespace report {

namespace {

// At most `count` characters of a UTF-8 text, cut where a character begins.
std::string firstCharacters(const std::string& text, size_t count) {
    size_t at = 0;
    for (size_t characters = 0; at < text.size(); ++at) {
        bool starts = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (starts && characters++ == count) break;
    }
    return text.substr(0, at);
}

}  // namespace

WirelessTable::WirelessTable() : entries_(ReportConstants::WIRELESS_ADAPTERS) {}

void WirelessTable::clear() {
    for (auto& entry : entries_) entry = WirelessEntry{};
}

void WirelessTable::store(const std::string& adapterName, std::vector<uint8_t> list) {
    std::string name = firstCharacters(adapterName, MAX_NAME);
    if (name.empty()) return;
    uint32_t count = BssidListItemCount(list.data(), list.size());
    for (auto& entry : entries_) {
        if (entry.adapterName == name) {
            if (count >= BssidListItemCount(entry.list.data(), entry.list.size()))
                entry.list = std::move(list);
            return;
        }
    }
    for (auto& entry : entries_) {
        if (entry.adapterName.empty()) {
            entry.adapterName = name;
            entry.list = std::move(list);
            return;
        }
    }
}

void WirelessTable::print(ReportOutput& out) const {
    for (const auto& entry : entries_) {
        if (entry.adapterName.empty() || BssidListItemCount(entry.list.data(), entry.list.size()) == 0) break;
        out.print("Wireless environment for %s\n", entry.adapterName.c_str());
        out.print("---------------------------------------------------------------\n");
        try {
            PrintBssidList(out, entry.list.data(), entry.list.size());
        } catch (const BssidListException&) {
            out.print("\n  Exception while parsing BSSID list.\n");
        }
        out.print("\n");
    }
}

}  // namespace report
