#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/FailureInjection.h"
#include "platform/win/WinFile.h"
#include "tests/vel/basevaluessupport/BaseValuesTestSupport.h"
#include "vel/os/FileUtil.h"
#include "vel/os/SystemErrorText.h"

namespace fs = std::filesystem;

namespace {

Unicode wide(const std::string& utf8) {
    std::u16string out;
    for (char c : utf8) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return Unicode(out.data(), static_cast<std::int32_t>(out.size()));
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

class FileUtilTest : public ::testing::Test {
protected:
    void SetUp() override {
        base::clearFailures();
        m_folder = fs::path(BaseValuesTest::root()) /
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        base::clearFailures();
        fs::remove_all(m_folder);
    }

    fs::path file(const char* name) const { return m_folder / name; }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) names.push_back(entry.path().filename());
        return names;
    }

    fs::path m_folder;
};

TEST_F(FileUtilTest, ReadsFilesUpToTheLimitAndRefusesLargerOnes) {
    struct Case {
        std::uintmax_t size;
        bool read;
    };
    const std::vector<Case> cases = {
        {0, true}, {1, true}, {9999999, true}, {10000000, false}, {5000000000, false}};
    for (const Case& c : cases) {
        fs::path path = file("sized.bin");
        { std::ofstream create(path); }
        fs::resize_file(path, c.size);
        LogCapture log;
        ByteArrayProxy bytes = readFile(wide(path.string()));
        ASSERT_EQ(bytes.exists(), c.read) << c.size;
        if (c.read) {
            EXPECT_EQ(static_cast<std::uintmax_t>(bytes.value().length()), c.size);
            EXPECT_FALSE(log.contains("Internal error")) << c.size;
        } else {
            EXPECT_EQ(log.messages(),
                      (std::vector<std::string>{"Internal error 156, contact software manufacturer",
                                                path.string() + ": File too large"}));
        }
    }
}

TEST_F(FileUtilTest, AMissingFileIsLoggedQuietly) {
    for (const char* name : {"absent.xml", "no/such/folder.xml"}) {
        LogCapture log;
        EXPECT_FALSE(readFile(wide(file(name).string())).exists());
        std::string error = std::string(name).find('/') == std::string::npos
                                ? "Windows error 2: The system cannot find the file specified."
                                : "Windows error 3: The system cannot find the path specified.";
        EXPECT_EQ(log.messages(), std::vector<std::string>{"Can't open file '" + file(name).string() +
                                                           "' for reading; " + error + "."});
        EXPECT_NE(log.text().find("%BRISEL-6-INFO_MSG"), std::string::npos);
    }
}

TEST_F(FileUtilTest, EveryOtherFailedCallIsAnInternalError) {
    struct Case {
        const char* call;
        winfile::DWORD error;
        bool read;  // the bytes still arrive (a failed close does not lose them)
        std::vector<std::string> lines;
    };
    const std::string path = file("data.bin").string();
    const std::vector<Case> cases = {
        {"CreateFileW",
         5,
         false,
         {"Internal error 167, contact software manufacturer",
          "Can't open file '" + path + "' for reading; Windows error 5: Access is denied."}},
        {"GetFileInformationByHandle",
         6,
         false,
         {"Internal error 167, contact software manufacturer",
          "FAILED to GetFileInformationByHandle; Windows error 6: The handle is invalid."}},
        {"ReadFile",
         30,
         false,
         {"Internal error 167, contact software manufacturer", "FAILED to ReadFile; Windows error 30"}},
    };
    put(path, "payload");
    for (const Case& c : cases) {
        base::clearFailures();
        base::failNext(c.call, c.error, 0);
        LogCapture log;
        EXPECT_EQ(readFile(wide(path)).exists(), c.read);
        EXPECT_EQ(log.messages(), c.lines);
    }
}

TEST_F(FileUtilTest, WriteReplacesTheFileWhole) {
    fs::path path = file("config.xml");
    put(path, std::string(5000, 'o'));
    ASSERT_TRUE(writeFile(wide(path.string()), ByteArray("new")));
    EXPECT_EQ(contentOf(path), "new");
    ASSERT_TRUE(writeFile(wide(path.string()), ByteArray()));
    EXPECT_EQ(fs::file_size(path), 0u);
    ByteArrayProxy back = readFile(wide(path.string()));
    ASSERT_TRUE(back.exists());
    EXPECT_EQ(back.value().length(), 0);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"config.xml"});
}

// Two writers of one file each write a temporary file of their own: neither truncates or moves
// away the other's, so every write succeeds and the file is always one writer's whole content.
TEST_F(FileUtilTest, ConcurrentWritersOfOneFileNeverMixTheirContents) {
    const fs::path path = file("shared.xml");
    const std::string first(256 * 1024, 'a');
    const std::string second(128 * 1024, 'b');
    for (int round = 0; round < 20; ++round) {
        std::atomic<int> failed{0};
        std::thread one([&] { failed += writeFile(wide(path.string()), ByteArray(first.c_str())) ? 0 : 1; });
        std::thread two([&] { failed += writeFile(wide(path.string()), ByteArray(second.c_str())) ? 0 : 1; });
        one.join();
        two.join();
        ASSERT_EQ(failed, 0) << "round " << round;
        std::string content = contentOf(path);
        ASSERT_TRUE(content == first || content == second) << "round " << round << ": " << content.size();
        ASSERT_EQ(folderEntries(), std::vector<std::string>{"shared.xml"});
    }
}

// A write that fails part-way must not leave a truncated file where a good one was.
TEST_F(FileUtilTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    struct Case {
        const char* call;
        winfile::DWORD error;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"WriteFile", 112, "FAILED to WriteFile; Windows error 112: There is not enough space on the disk."},
        {"FlushFileBuffers", 112,
         "FAILED to FlushFileBuffers; Windows error 112: There is not enough space on the disk."},
        {"MoveFileExW", 5, "FAILED to MoveFileEx; Windows error 5: Access is denied."},
    };
    fs::path path = file("internalConfiguration.xml");
    for (const Case& c : cases) {
        put(path, "<old/>");
        base::clearFailures();
        base::failNext(c.call, c.error, 0);
        LogCapture log;
        EXPECT_FALSE(writeFile(wide(path.string()), ByteArray("<new/>")));
        EXPECT_EQ(contentOf(path), "<old/>") << c.line;
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"internalConfiguration.xml"}) << c.line;
        EXPECT_EQ(log.messages(),
                  (std::vector<std::string>{"Internal error 167, contact software manufacturer", c.line}));
    }
}

TEST_F(FileUtilTest, ACreateFailureNamesTheTarget) {
    fs::path path = file("missing/out.xml");
    LogCapture log;
    EXPECT_FALSE(writeFile(wide(path.string()), ByteArray("x")));
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{
                  "Internal error 167, contact software manufacturer",
                  "Can't create file '" + path.string() +
                      "' for writing; Windows error 3: The system cannot find the path specified."}));
}

TEST_F(FileUtilTest, ProgramDataFilesLiveBelowTheRoot) {
    EXPECT_EQ(std::string(Ascii::fromWide(programDataFolder()).text()), BaseValuesTest::root() + "/");
    ASSERT_TRUE(
        writeProgramDataFile(wide("system/newConfigFiles"), wide("configuration.xml"), ByteArray("<c/>")));
    EXPECT_EQ(contentOf(fs::path(BaseValuesTest::root()) / "system/newConfigFiles/configuration.xml"),
              "<c/>");
    // Existing folders are fine the second time.
    ASSERT_TRUE(
        writeProgramDataFile(wide("system/newConfigFiles"), wide("configuration.xml"), ByteArray("<d/>")));
    ByteArrayProxy read = readProgramDataFile(wide("system/newConfigFiles"), wide("configuration.xml"));
    ASSERT_TRUE(read.exists());
    EXPECT_EQ(read.value(), ByteArray("<d/>"));
    fs::remove_all(fs::path(BaseValuesTest::root()) / "system");
}

TEST_F(FileUtilTest, AnUnknownDataFolderTouchesNothing) {
    base::failNext("SHGetFolderPathW", 5, 0);
    LogCapture log;
    EXPECT_EQ(programDataFolder().length(), 0);
    EXPECT_FALSE(readProgramDataFile(wide("system"), wide("configuration.xml")).exists());
    EXPECT_FALSE(writeProgramDataFile(wide("unknown"), wide("a.xml"), ByteArray("x")));
    EXPECT_EQ(log.text(), "");
    EXPECT_FALSE(fs::exists(fs::path(BaseValuesTest::root()) / "unknown"));
}

TEST_F(FileUtilTest, MovingNeverReplacesAnExistingFile) {
    put(file("a"), "A");
    put(file("b"), "B");
    EXPECT_NE(moveFile(wide(file("a").string()), wide(file("b").string())), 0);
    EXPECT_EQ(winfile::GetLastError(), winfile::ERROR_ALREADY_EXISTS);
    EXPECT_EQ(contentOf(file("a")), "A");
    EXPECT_EQ(contentOf(file("b")), "B");
    EXPECT_EQ(moveFile(wide(file("a").string()), wide(file("c").string())), 0);
    EXPECT_FALSE(fileExists(wide(file("a").string())));
    EXPECT_TRUE(fileExists(wide(file("c").string())));
    fs::permissions(file("c"), fs::perms::owner_read);
    EXPECT_EQ(deleteFile(wide(file("c").string())), 0);
    EXPECT_NE(deleteFile(wide(file("c").string())), 0);
}

TEST_F(FileUtilTest, ReplacingIsOneRenameThatLeavesBothFilesWholeWhenItFails) {
    put(file("new"), "N");
    put(file("old"), "O");
    base::failNext("MoveFileExW", 5, 1);
    EXPECT_NE(replaceFile(wide(file("new").string()), wide(file("old").string())), 0);
    EXPECT_EQ(contentOf(file("new")), "N");
    EXPECT_EQ(contentOf(file("old")), "O");
    EXPECT_EQ(replaceFile(wide(file("new").string()), wide(file("old").string())), 0);
    EXPECT_FALSE(fileExists(wide(file("new").string())));
    EXPECT_EQ(contentOf(file("old")), "N");
    // Onto a name that does not exist yet it is a plain move; from a missing file it fails.
    EXPECT_EQ(replaceFile(wide(file("old").string()), wide(file("fresh").string())), 0);
    EXPECT_EQ(contentOf(file("fresh")), "N");
    EXPECT_NE(replaceFile(wide(file("old").string()), wide(file("fresh").string())), 0);
}

TEST_F(FileUtilTest, ListsTheNamesThatMatchAPattern) {
    for (const char* name : {"one.xml", "two.xml", "three.txt", "caf\xc3\xa9.xml"}) put(file(name), "");
    AsciiVector names = listFolder(wide(file("*.xml").string()));
    std::vector<std::string> listed;
    for (int i = 0; i < names.length(); ++i) listed.push_back(names.get(i).text());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"caf\xc3\xa9.xml", "one.xml", "two.xml"}));
    EXPECT_EQ(listFolder(wide(file("nothing/*").string())).length(), 0);
    // A Windows separator in the pattern works as well.
    EXPECT_EQ(listFolder(wide(m_folder.string() + "\\*.txt")).length(), 1);
}

TEST(SystemErrorTextTest, NumberThenTheSystemsTextWithoutLineEnds) {
    const std::vector<std::pair<std::uint32_t, std::string>> cases = {
        {2, "Windows error 2: The system cannot find the file specified."},
        {183, "Windows error 183: Cannot create a file when that file already exists."},
        {999, "Windows error 999"},
        {100000, "Windows error 0x186a0"},
        {winfile::ERROR_ERRNO_FLAG | ENOTCONN,
         "Windows error 0x2000006b: Transport endpoint is not connected"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(std::string(systemErrorText(code).text()), text);
}

TEST(SystemErrorTextTest, ErrnoMapsToTheCodesCallersTest) {
    const std::vector<std::pair<int, winfile::DWORD>> cases = {
        {ENOENT, 2}, {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5}, {EEXIST, 183}, {ENOSPC, 112}, {0, 0}};
    for (const auto& [error, code] : cases) EXPECT_EQ(winfile::errorFromErrno(error), code) << error;
}

}  // namespace
