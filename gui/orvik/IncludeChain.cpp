#include "orvik/IncludeChain.h"

#include <sys/stat.h>

#include <algorithm>

#include "orvik/Conversions.h"
#include "orvik/Exception.h"
#include "orvik/PathName.h"

namespace orvik {

void IncludeChain::enter(const std::string& path) {
    std::string name = PathName(path).text();
    std::replace(name.begin(), name.end(), '\\', '/');
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        throw Exception("GenericXmlParser -- read() called with invalid filename!");
    }
    // The same file reached under another name is still the same file.
    const std::pair<dev_t, ino_t> identity(info.st_dev, info.st_ino);
    if (std::find(files_.begin(), files_.end(), identity) != files_.end()) {
        throw Exception(
            ORVIK_LOCATED("GenericXmlParser -- include cycle: \"" + path + "\" is already being read"));
    }
    // The outermost file is not an include.
    if (files_.size() > MAX_DEPTH) {
        throw Exception(ORVIK_LOCATED("GenericXmlParser -- includes nested deeper than " +
                                      toString(static_cast<unsigned long>(MAX_DEPTH)) + " at \"" + path +
                                      "\""));
    }
    files_.push_back(identity);
}

void IncludeChain::leave() {
    if (!files_.empty()) {
        files_.pop_back();
    }
}

}  // namespace orvik
