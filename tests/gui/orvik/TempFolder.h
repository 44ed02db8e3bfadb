#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/TempHome.h"

namespace orvik::test {

// A fresh folder below /tmp, removed with everything in it.
class TempFolder : public tamsel::test::TempHome {
public:
    TempFolder() : TempHome("orvik", Use::FOLDER) {}

    // The folder itself, or a name below it, in the system's form.
    std::string path(const std::string& name = std::string()) const {
        return name.empty() ? TempHome::path() : TempHome::path() + "/" + name;
    }
};

inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace orvik::test
