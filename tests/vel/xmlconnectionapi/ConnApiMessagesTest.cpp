#include <gtest/gtest.h>

#include <set>
#include <string>

#include "vel/xmlconnectionapi/ConnApiMessages.h"

namespace tamsel::test {
namespace {

TEST(ConnApiMessagesTest, TableNumbersEveryMessageOnceWithItsReplyBehindIt) {
    std::set<std::string> names;
    for (std::int32_t command = 1; command <= ConnApiMessages::COUNT; ++command) {
        ASSERT_NE(ConnApiMessages::name(command), nullptr) << command;
        names.insert(ConnApiMessages::name(command));
    }
    EXPECT_EQ(names.size(), 101u);
    EXPECT_EQ(ConnApiMessages::name(0), nullptr);
    EXPECT_EQ(ConnApiMessages::name(102), nullptr);
    EXPECT_STREQ(ConnApiMessages::name(ConnApiMessages::GET_VERSION_REQUEST), "getVersionRequest");
    EXPECT_STREQ(ConnApiMessages::name(ConnApiMessages::GET_VERSION_REQUEST + 1), "getVersionResponse");
    EXPECT_STREQ(ConnApiMessages::name(ConnApiMessages::UNKNOWN_REQUEST), "unknownRequest");
    EXPECT_STREQ(ConnApiMessages::name(ConnApiMessages::FAULT), "SOAP-ENV:Fault");
    EXPECT_EQ(ConnApiMessages::FAULT, 101);
}

}  // namespace
}  // namespace tamsel::test
