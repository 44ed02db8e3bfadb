#pragma once
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/support/TempHome.h"
#include "tests/support/TestText.h"

using tamsel::test::waitFor;

// A fresh program-data root and unit folder for one test.
class TempRoot : public tamsel::test::TempHome {
public:
    TempRoot() : TempHome("win") {
        std::filesystem::create_directories(units());
        setenv("TAMSEL_UNIT_DIR", units().c_str(), 1);
    }
    ~TempRoot() { unsetenv("TAMSEL_UNIT_DIR"); }

    std::string units() const { return path() + "/units"; }
};
