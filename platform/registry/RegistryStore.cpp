#include "platform/registry/RegistryStore.h"

#include <cerrno>
#include <filesystem>

#include "platform/base/AtomicWrite.h"
#include "platform/base/Files.h"
#include "platform/base/Win32Error.h"

namespace registry {

using base::win32::accessDeniedOr;

long RegistryStore::read(RegistryTree& tree) const {
    std::string text;
    if (int error = base::readFile(path_, text); error != 0) {
        if (error != ENOENT) return accessDeniedOr(error, base::win32::ERROR_CANTREAD);
        tree = RegistryTree();
        return base::win32::ERROR_SUCCESS;
    }
    return RegistryTree::parse(text, tree) ? base::win32::ERROR_SUCCESS : base::win32::ERROR_BADDB;
}

long RegistryStore::update(const Change& change) const {
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path_).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (ec) return accessDeniedOr(ec.value(), base::win32::ERROR_CANTWRITE);

    base::FileLock lock(path_ + ".lock");
    if (lock.error()) return accessDeniedOr(lock.error(), base::win32::ERROR_CANTWRITE);

    RegistryTree tree;
    long status = read(tree);
    if (status != base::win32::ERROR_SUCCESS) return status;
    bool changed = false;
    status = change(tree, changed);
    if (status != base::win32::ERROR_SUCCESS || !changed) return status;
    return write(tree);
}

long RegistryStore::write(const RegistryTree& tree) const {
    int error = base::writeFileAtomically(path_, tree.serialize());
    return error == 0 ? base::win32::ERROR_SUCCESS : accessDeniedOr(error, base::win32::ERROR_CANTWRITE);
}

}  // namespace registry
