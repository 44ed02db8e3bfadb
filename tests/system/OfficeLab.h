#pragma once
// The office lab as a test needs it: the wired link down until the test raises it, and the
// wireless adapter only when asked, so that no network connects before the test is ready.
#include <regex>
#include <string>

#include "tests/support/TestText.h"

inline std::string officeLab(bool wireless) {
    std::string lab = tamsel::test::readText(OFFICE_LAB);
    if (!wireless) lab = std::regex_replace(lab, std::regex("<adapter [^>]*friendly=\"wlan0\"[^>]*/>"), "");
    return std::regex_replace(lab, std::regex("link=\"up\""), "link=\"down\"");
}
