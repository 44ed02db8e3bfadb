// Writes the seed corpus of the connection-API fuzz target from the shared corpus of envelopes:
//     connapi_fuzz_seeds tests/fuzz
// Each seed is a read size byte, then one or more frames as a client sends them.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/vel/connapi/ConnApiCorpus.h"

using tamsel::test::ConnApiCorpus;

namespace {

std::string frame(const std::string& payload) {
    return std::to_string(payload.size()) + "\n" + payload;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "connapi" / "seeds";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    auto seed = [&](const std::string& name, char readSize, const std::string& frames) {
        std::ofstream(folder / name, std::ios::binary) << readSize << frames;
    };
    // Whole frames read at once, and frames read a byte at a time.
    char readSize = 0;
    for (const char* sender : {"tray", "logon", "refused", "service"}) {
        for (const std::string& file : ConnApiCorpus::files(sender)) {
            seed(std::string(sender) + "-" + file, readSize, frame(ConnApiCorpus::read(sender, file)));
            readSize = readSize == 0 ? 63 : 0;
        }
    }
    seed("repair", 0, frame("Q"));
    seed("two-requests-then-repair", 1,
         frame(ConnApiCorpus::read("tray", "007-getGroupsRequest.xml")) +
             frame(ConnApiCorpus::read("tray", "062-getUsernameAndPasswordResponse.xml")) + frame("Q"));
    seed("junk-in-header", 0, "1x2\n" + std::string(12, 'j'));
    return 0;
}
