#pragma once
#include <string>

namespace winsvc {

// The program-data root: TAMSEL_HOME when set, else /var/lib/tamsel for root, else
// ~/.local/state/tamsel. No trailing slash.
std::string programDataRoot();
// "<root>/run", created with its parents when missing; empty when it cannot be created.
std::string runFolder();

}  // namespace winsvc
