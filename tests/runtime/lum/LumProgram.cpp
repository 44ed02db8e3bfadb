// A small program on the run-time, as the service's run body starts it: crash handler, logging
// thread, LumMain; its allocations go through checked memory. Driven by ProgramTest.
//   lum_program <lines> <size limit> [leak]
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "runtime/lum/CrashHandler.h"
#include "runtime/lum/Log.h"
#include "runtime/lum/LoggingThread.h"
#include "runtime/lum/LumMain.h"

// Where the deliberate leak is kept, so that the optimiser cannot drop the allocation.
int* volatile LostBlock = nullptr;

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    int lines = atoi(argv[1]);
    long limit = atol(argv[2]);
    bool leak = argc > 3 && strcmp(argv[3], "leak") == 0;
    installCrashHandler();
    LogFileSpec spec = serviceLogFileSpec();
    spec.sizeLimit = limit;
    configureLogFiles(&spec, 1);
    if (!startLoggingThread()) return 3;
    {
        LumRuntime runtime;
        std::vector<std::thread> workers;
        for (int t = 0; t < 2; ++t) {
            workers.emplace_back([t, lines] {
                for (int i = 0; i < lines; ++i) {
                    std::string text = "worker " + std::to_string(t) + " line " + std::to_string(i);
                    logInfo(0, "%s", text.c_str());
                }
            });
        }
        for (std::thread& w : workers) w.join();
        if (leak) {
            LostBlock = new int[4];
        }
    }
    stopLoggingThread();
    return 0;
}
