#pragma once
// The office lab as a test needs it: the wired link down until the test raises it, the wireless
// adapter only when asked, and none of the lab's own logon, VPN gateway or timed commands, so that
// nothing connects or logs on before the test is ready; a test adds what it wants of them.
#include <regex>
#include <string>

#include "tests/support/TestText.h"

inline std::string officeLab(bool wireless) {
    std::string lab = tamsel::test::readText(OFFICE_LAB);
    if (!wireless) lab = std::regex_replace(lab, std::regex("<adapter [^>]*friendly=\"wlan0\"[^>]*/>"), "");
    for (const char* element : {"logon", "vpnGateway", "at"})
        lab = std::regex_replace(lab, std::regex(std::string("<") + element + " [^>]*/>"), "");
    // The lab's files are named relative to it, and the test writes it elsewhere.
    const std::string folder = std::string(OFFICE_LAB).substr(0, std::string(OFFICE_LAB).rfind('/') + 1);
    lab = std::regex_replace(lab, std::regex("\"\\.\\./pki/"), "\"" + folder + "../pki/");
    return std::regex_replace(lab, std::regex("link=\"up\""), "link=\"down\"");
}
