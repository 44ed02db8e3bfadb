// The report's lines for one program file: where it was found, its version, size and CRC-32, and
// the same for every module it imports, directly or not.
#pragma once

#include <string>

#include "tools/report/ReportOutput.h"

namespace report {

class ModuleReportConstants {
public:
    static constexpr size_t MAX_MODULES = 256;
};

// `folder` is a Windows folder; a `name` without a backslash is taken inside it.
void ReportModule(ReportOutput& out, const std::string& folder, const std::string& name, int indent,
                  bool withImports);

}  // namespace report
