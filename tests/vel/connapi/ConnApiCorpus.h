#pragma once
// The shared corpus of connection-API envelopes, one file per message in its sender's form:
// service/ as the service writes it, tray/ as the tray program's request writer writes it,
// logon/ as the logon client sends it, refused/ messages the service must refuse to read.
// File names begin with the message's number.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tamsel::test {

class ConnApiCorpus {
public:
    static std::string folder(const std::string& sender) {
        return std::string(TAMSEL_CONNAPI_CORPUS) + "/" + sender;
    }
    static std::string path(const std::string& sender, const std::string& file) {
        return folder(sender) + "/" + file;
    }

    static std::string read(const std::string& sender, const std::string& file) {
        std::ifstream in(path(sender, file), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The file names of a sender's folder, sorted.
    static std::vector<std::string> files(const std::string& sender) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder(sender)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The message number a file name begins with.
    static int number(const std::string& file) { return std::stoi(file.substr(0, 3)); }
};

// Names a table covers that a folder does not hold, and files a folder holds that no table row
// covers: both must be empty, so the corpus and the tests stay in step.
inline std::vector<std::string> unmatched(const std::vector<std::string>& files,
                                          const std::set<std::string>& covered) {
    std::vector<std::string> out;
    for (const std::string& f : files)
        if (covered.count(f) == 0) out.push_back("not covered: " + f);
    for (const std::string& c : covered)
        if (std::find(files.begin(), files.end(), c) == files.end()) out.push_back("missing file: " + c);
    return out;
}

}  // namespace tamsel::test
