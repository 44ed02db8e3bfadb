#pragma once
#include <string>

namespace tamsel::test {

// A folder of the test's own below /tmp, removed with everything in it afterwards, so no test
// sees another's files. As a program-data root it is named in TAMSEL_HOME while it lives.
class TempHome {
public:
    enum class Use { ROOT, FOLDER };

    explicit TempHome(const std::string& tag, Use use = Use::ROOT);
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // The run-time's current log below this root.
    std::string log(const std::string& name = "CurrentLog.txt") const { return m_path + "/logs/" + name; }
    // Writes a file below the folder, making the folders on its way.
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::string m_path;
    Use m_use;
};

}  // namespace tamsel::test
