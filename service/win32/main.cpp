#include "runtime/lum/CrashHandler.h"
#include "service/win32/ServiceModes.h"

int main(int argc, char** argv) {
    installCrashHandler();
    return runServiceMode(argc, argv);
}
