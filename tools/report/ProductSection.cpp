#include <strings.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/image/WindowsPaths.h"
#include "platform/registry/Registry.h"
#include "tools/report/ModuleReport.h"
#include "tools/report/RegistryDump.h"
#include "tools/report/ReportConstants.h"
#include "tools/report/ReportFiles.h"
#include "tools/report/ReportSections.h"

namespace report {

namespace {

using R = ReportConstants;
using winpath::WindowsPathConstants;

bool EndsWithNoCase(const std::string& text, const char* tail) {
    size_t n = std::strlen(tail);
    return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, tail) == 0;
}

std::string QueryString(registry::HKEY key, const char* name, long* result) {
    uint32_t type = 0, size = 0;
    *result = registry::RegQueryValueEx(key, name, &type, nullptr, &size);
    if (*result != 0) return {};
    std::vector<uint8_t> data(size + 1, 0);
    *result = registry::RegQueryValueEx(key, name, &type, data.data(), &size);
    if (*result != 0) return {};
    return std::string(reinterpret_cast<const char*>(data.data()));
}

std::string InstallFolder(ReportOutput& out) {
    std::string folder = R::DEFAULT_INSTALL_FOLDER;
    registry::HKEY key = nullptr;
    long result =
        registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, R::SERVICE_KEY, 0, registry::KEY_READ, &key);
    if (result != 0) {
        out.print("  Error (%d) opening reg key: \n", int(result));
        out.print("   HKLM\\%s\n", R::SERVICE_KEY);
        return folder;
    }
    std::string image = QueryString(key, "ImagePath", &result);
    registry::RegCloseKey(key);
    if (result != 0) {
        out.print("  Error (%d) querying: \n", int(result));
        out.print("   HKLM\\%s\\ImagePath\n", R::SERVICE_KEY);
        return folder;
    }
    size_t slash = image.rfind('\\');
    if (slash != std::string::npos) image.resize(slash);
    if (!image.empty() && image[0] == '"') image.erase(0, 1);
    return image;
}

void CoreFiles(ReportOutput& out, const std::string& installFolder) {
    out.print("Varnel Tamsel core files:\n");
    std::vector<std::string> names = winpath::ListFolderFiles(".");
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        if (name.size() > 4 && (EndsWithNoCase(name, ".exe") || EndsWithNoCase(name, ".dll")))
            ReportModule(out, installFolder, name, 2, true);

    const std::string system = WindowsPathConstants::SYSTEM_DIRECTORY;
    out.print("Varnel Tamsel system component(s) files:\n");
    ReportModule(out, system, "briselsso.dll", 2, true);
    ReportModule(out, system, "nvobind.dll", 2, true);

    out.print("Winlogon GINA DLL used in the system:\n");
    registry::HKEY key = nullptr;
    long result =
        registry::RegOpenKeyEx(registry::HKEY_LOCAL_MACHINE, R::WINLOGON_KEY, 0, registry::KEY_READ, &key);
    if (result != 0) {
        out.print("  Error (%d) opening reg key: \n", int(result));
        out.print("   HKLM\\%s\n", R::WINLOGON_KEY);
        return;
    }
    std::string gina = QueryString(key, "GinaDll", &result);
    registry::RegCloseKey(key);
    if (result != 0 || gina.empty()) gina = R::DEFAULT_GINA;
    ReportModule(out, system, gina, 2, true);
}

bool DeviceOpens(const DriverRow& row, const std::string& deviceSocket, int* error) {
    // Only the filter driver's device exists here; the others are the product's other drivers.
    if (std::strcmp(row.device, R::FILTER_DEVICE) != 0) {
        *error = 2;
        return false;
    }
    FiltDeviceClient device;
    *error = int(device.open(deviceSocket));
    return *error == 0;
}

void Drivers(ReportOutput& out, const std::string& deviceSocket) {
    out.print("Varnel Tamsel driver(s) information:\n");
    std::string drivers = std::string(WindowsPathConstants::SYSTEM_DIRECTORY) + "\\drivers";
    for (const DriverRow& row : DRIVER_TABLE) {
        int error = 0;
        bool opens = DeviceOpens(row, deviceSocket, &error);
        if (!opens && (row.flags & R::DRIVER_ONLY_WHEN_OPEN)) continue;
        out.print("  Information on \"%s\":\n", row.device);
        if (opens)
            out.print("  Driver device exists and can be opened.\n");
        else
            out.print("  Error (%d) opening the driver.\n", error);
        ReportModule(out, drivers, row.file, 4, true);
    }
}

void SsoLogs(ReportOutput& out) {
    out.print("Varnel Tamsel SSO debug files (if any):\n");
    const struct {
        const char* source;
        const char* target;
    } copies[] = {{R::SSO_LOG, "BriselSsoDbg.txt"}, {R::SSO_LOG_BACKUP, "BriselSsoDbg_bak.txt"}};
    for (const auto& copy : copies) {
        if (int error = CopyFileOver(copy.source, copy.target))
            out.print("  Error %d copying the \"%s\" to \".\\\"\n", error, copy.source);
        else
            out.print("  \"%s\" Copied\n", copy.source);
    }
    out.print("\n");
}

void DriverLogs(ReportOutput& out) {
    out.print("Varnel Tamsel FIPS debug files (if any):\n");
    std::string system = WindowsPathConstants::SYSTEM_DIRECTORY;
    if (system.size() >= size_t(R::MAX_SYSTEM_PATH)) {
        out.print("  GetSystemDirectory() returned invalid path length %d \n", int(system.size()));
        return;
    }
    std::string root = WindowsPathConstants::SYSTEM_DRIVE_ROOT;
    const struct {
        std::string source;
        const char* target;
    } copies[] = {{system + "\\drivers\\" + R::DRIVER_LOG, R::DRIVER_LOG},
                  {root + R::INSTALL_LOG, R::INSTALL_LOG},
                  {root + R::UNINSTALL_LOG, R::UNINSTALL_LOG}};
    for (const auto& copy : copies) {
        if (int error = CopyFileOver(copy.source, copy.target))
            out.print("  Error %d copying \"%s\"\n", error, copy.source.c_str());
        else
            out.print("  \"%s\" Copied\n", copy.source.c_str());
    }
    out.print("\n");
}

}  // namespace

void PrintProductSection(ReportOutput& out, const std::string& deviceSocket) {
    out.print("Varnel Tamsel information:\n-----------------------------------------\n\n");
    out.print("Retrieving Varnel Tamsel installation folder\n");
    out.print("(determined as the location of the service executable)...\n");
    std::string folder = InstallFolder(out);
    out.print("  Using path: %s\n\n", folder.c_str());

    out.print("Changing directory to:\n  %s\n", folder.c_str());
    std::string previous = CurrentDirectory();
    if (int error = ChangeDirectory(folder)) {
        out.print("  Error (%d) changing directory\n\n", error);
    } else {
        out.print("\n");
        CoreFiles(out, folder);
        RestoreDirectory(previous);
    }

    out.print("Varnel Tamsel winlogon hook registry entries:\n");
    DumpRegistryKey(out, registry::HKEY_LOCAL_MACHINE, R::SSO_HOOK_KEY, nullptr, 4, false);
    out.print("\n");

    Drivers(out, deviceSocket);
    SsoLogs(out);
    DriverLogs(out);
}

}  // namespace report
