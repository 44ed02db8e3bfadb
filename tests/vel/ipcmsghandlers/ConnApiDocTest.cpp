// docs/connapi.md lists every message once, in step with the service's command table and with
// the handler table.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "vel/enumtostring/EnumConversions.h"
#include "vel/ipcmsghandlers/HandlerTable.h"
#include "vel/xmlconnectionapi/ConnApiLimitConstants.h"
#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace {

struct DocRow {
    std::string name;
    std::string direction;
    std::string answer;
};

// The rows of the message table, by number, in the order the page lists them.
std::vector<std::pair<int, DocRow>> messageRows() {
    std::ifstream in(TAMSEL_CONNAPI_DOC);
    const std::regex row(R"(^\| (\d+) \| `([^`]+)` \| ([^|]+) \| [^|]+ \| ([^|]+) \| [^|]+ \|$)");
    std::vector<std::pair<int, DocRow>> rows;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, row)) rows.push_back({std::stoi(m[1]), DocRow{m[2], m[3], m[4]}});
    }
    return rows;
}

TEST(ConnApiDocTest, EveryCommandIsListedOnceInOrderUnderItsName) {
    const auto rows = messageRows();
    ASSERT_EQ(rows.size(), static_cast<size_t>(ConnApiMessages::COUNT));
    for (int n = 1; n <= ConnApiMessages::COUNT; ++n) {
        EXPECT_EQ(rows[n - 1].first, n);
        EXPECT_EQ(rows[n - 1].second.name, ConnApiCommandToText(n)) << n;
    }
}

TEST(ConnApiDocTest, EveryHandledCommandIsListedAsArrivingWithTheAnswerItsKindGives) {
    std::map<int, DocRow> rows;
    for (const auto& [n, row] : messageRows()) rows[n] = row;
    for (const HandlerRow& handler : HandlerTable::service().rows()) {
        SCOPED_TRACE(handler.command);
        const DocRow& row = rows.at(handler.command);
        if (handler.command == ConnApiMessages::UNKNOWN_REQUEST) continue;
        EXPECT_NE(row.direction.find("to S"), std::string::npos) << row.direction;
        if (handler.kind == HandlerKind::RESPONSE) {
            EXPECT_EQ(row.answer.rfind("none", 0), 0u) << row.answer;
        } else {
            EXPECT_EQ(row.answer.rfind(std::to_string(handler.command + 1), 0), 0u) << row.answer;
        }
    }
}

TEST(ConnApiDocTest, EveryLimitIsListedWithTheValueTheServiceHolds) {
    using L = ConnApiLimitConstants;
    const std::map<std::string, int> limits = {
        {"a received message", L::MAX_RECEIVED_MESSAGE_LENGTH},
        {"attributes of one element", L::MAX_ATTRIBUTES_PER_ELEMENT},
        {"nesting of elements (the root is 1)", L::MAX_ELEMENT_DEPTH},
        {"`groupName`, `newGroupName`", L::MAX_GROUP_NAME_LENGTH},
        {"`networkName`, `newNetworkName`", L::MAX_NETWORK_NAME_LENGTH},
        {"`ssid`", L::MAX_SSID_LENGTH},
        {"`runScriptSpec`", L::MAX_SCRIPT_LENGTH},
        {"`connectionEntry`", L::MAX_CONNECTION_ENTRY_LENGTH},
    };
    std::ifstream in(TAMSEL_CONNAPI_DOC);
    const std::regex row(R"(^\| ([^|]+) \| ([0-9,]+)( bytes)? \| [^|]+ \|$)");
    std::map<std::string, int> listed;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, row)) continue;
        std::string digits = m[2];
        digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
        listed[m[1]] = std::stoi(digits);
    }
    for (const auto& [what, value] : limits) EXPECT_EQ(listed[what], value) << what;
}

}  // namespace
