#pragma once

#include <functional>
#include <string>

#include "platform/registry/RegistryTree.h"

namespace registry {

// The registry file. Readers take the file as it stands (a writer never leaves it half written);
// writers hold an exclusive lock on "<file>.lock" from reading the tree to renaming the new file
// into place, so no change made meanwhile by another process or thread is lost.
class RegistryStore {
public:
    // Changes `tree`, sets `changed` when there is something to save and returns a Win32 code;
    // nothing is saved unless it returns ERROR_SUCCESS.
    using Change = std::function<long(RegistryTree& tree, bool& changed)>;

    explicit RegistryStore(std::string path) : path_(std::move(path)) {}

    // A missing file is an empty registry.
    long read(RegistryTree& tree) const;
    long update(const Change& change) const;

private:
    long write(const RegistryTree& tree) const;

    std::string path_;
};

}  // namespace registry
