// A message dump shows everything of a message but the values of its secrets.
#include <gtest/gtest.h>

#include <string>

#include "vel/xmlconnectionapi/ConnApiDump.h"

namespace {

TEST(ConnApiDumpTest, SecretValuesAreMaskedWhateverTheirForm) {
    const struct {
        const char* name;
        const char* message;
        const char* dumped;
    } cases[] = {
        {"nothing secret", "<a><username>alice</username></a>", "<a><username>alice</username></a>"},
        {"tray form", "<tamsel:password>s3cr&amp;t</tamsel:password>",
         "<tamsel:password>***</tamsel:password>"},
        {"service form, every secret",
         "<oldPassword>o</oldPassword><pin>1</pin><wepAscii40Key>abcde</wepAscii40Key><wepAscii128Key>k</"
         "wepAscii128Key>"
         "<wepHex40Key>0a</wepHex40Key><wepHex128Key>0b</wepHex128Key><wpaAsciiKey>w</wpaAsciiKey>"
         "<wpaHexKey>0c</wpaHexKey>",
         "<oldPassword>***</oldPassword><pin>***</pin><wepAscii40Key>***</wepAscii40Key>"
         "<wepAscii128Key>***</wepAscii128Key><wepHex40Key>***</wepHex40Key><wepHex128Key>***</wepHex128Key>"
         "<wpaAsciiKey>***</wpaAsciiKey><wpaHexKey>***</wpaHexKey>"},
        {"names that only begin alike", "<passwordType>password</passwordType><pinned>x</pinned>",
         "<passwordType>password</passwordType><pinned>x</pinned>"},
        {"attributes and line feeds", "<pin a=\"1\">\n12\n</pin >", "<pin a=\"1\">***</pin >"},
        {"empty element", "<password/><user>u</user>", "<password/><user>u</user>"},
        {"nested markup inside", "<password><x>1</x><![CDATA[</y>]]>2</password>after",
         "<password>***</password>after"},
        {"never closed", "<pin>1234", "<pin>***"},
        {"start tag cut short", "<pin", "<pin"},
    };
    for (const auto& c : cases) EXPECT_EQ(ConnApiDump::masked(c.message), c.dumped) << c.name;
}

}  // namespace
