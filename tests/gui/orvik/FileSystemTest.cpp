#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "gui/orvik/Exception.h"
#include "gui/orvik/FileSystem.h"
#include "gui/orvik/Paths.h"
#include "tests/gui/orvik/Raised.h"
#include "tests/gui/orvik/TempFolder.h"

namespace orvik {
namespace {

namespace fs = std::filesystem;
using test::raised;
using test::readAll;
using test::TempFolder;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string q(const std::string& text) {
    return "\"" + text + "\"";
}

// Sets or clears an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder) : old_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~ScopedCurrentFolder() { fs::current_path(old_); }

private:
    fs::path old_;
};

class FileSystemTest : public ::testing::Test {
protected:
    // The same location written with the library's backslashes.
    static std::string backslashed(std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    TempFolder tmp;
};

struct KindCase {
    std::string path;
    bool exists;
    bool file;
    bool folder;
};

TEST_F(FileSystemTest, QueriesTellFilesFromFolders) {
    tmp.write("sub/f.txt", "x");
    const KindCase cases[] = {
        {tmp.path("sub/f.txt"), true, true, false},
        {backslashed(tmp.path("sub/f.txt")), true, true, false},
        {tmp.path("sub"), true, false, true},
        {tmp.path("sub") + "\\", true, false, true},
        {tmp.path("sub") + "\\\\.\\f.txt", true, true, false},
        {tmp.path("missing"), false, false, false},
        {"", true, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exists(c.path), c.exists) << c.path;
        EXPECT_EQ(isFile(c.path), c.file) << c.path;
        EXPECT_EQ(isDirectory(c.path), c.folder) << c.path;
    }
    EXPECT_TRUE(isReadableFile(tmp.path("sub/f.txt")));
    EXPECT_FALSE(isReadableFile(tmp.path("sub")));
    EXPECT_TRUE(isReadableDirectory(tmp.path("sub")));
    EXPECT_TRUE(isWritableDirectory(tmp.path("sub")));
    EXPECT_TRUE(isWritableLocation(tmp.path("sub/new.txt")));
    EXPECT_FALSE(isWritableLocation(tmp.path("nowhere/new.txt")));
}

TEST_F(FileSystemTest, AccessAndModeChangesNameAMissingPath) {
    const std::string file = tmp.write("f", "x");
    EXPECT_TRUE(accessible(file, 4));
    EXPECT_TRUE(changeMode(file, 0600));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const std::string missing = tmp.path("gone");
    EXPECT_EQ(raised([&] { accessible(missing, 0); }), "The path " + q(missing) + " is invalid.");
    EXPECT_EQ(raised([&] { changeMode(missing, 0600); }), "The path " + q(missing) + " is invalid.");
}

TEST_F(FileSystemTest, SizesAndTimesComeFromTheFile) {
    const std::string file = tmp.write("five", "12345");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(fileSize(file), 5u);
    EXPECT_EQ(modificationTime(file), info.st_mtime);
    EXPECT_EQ(accessTime(file), info.st_atime);
    EXPECT_GT(creationTime(file), 0);
    EXPECT_LE(creationTime(file), info.st_mtime);

    const std::string missing = tmp.path("none");
    const std::string expected = "Filename or path could not be found: " + q(missing);
    EXPECT_EQ(raised([&] { fileSize(missing); }), expected);
    EXPECT_EQ(raised([&] { creationTime(missing); }), expected);
    EXPECT_EQ(raised([&] { modificationTime(missing); }), expected);
    EXPECT_EQ(raised([&] { accessTime(missing); }), expected);
}

TEST_F(FileSystemTest, CreateFileRefusesExistingNamesAndMissingFolders) {
    const std::string file = tmp.path("new.txt");
    createFile(file);
    EXPECT_TRUE(isFile(file));
    EXPECT_EQ(fileSize(file), 0u);
    EXPECT_EQ(raised([&] { createFile(file); }), " File " + q(file) + " already exists!");
    const std::string nowhere = tmp.path("no/such.txt");
    EXPECT_EQ(raised([&] { createFile(nowhere); }), " Cannot create file " + q(nowhere) + "!");

    std::FILE* handle = openFile(backslashed(file), "r");
    ASSERT_NE(handle, nullptr);
    std::fclose(handle);
    EXPECT_EQ(openFile(nowhere, "r"), nullptr);
}

TEST_F(FileSystemTest, RenameNeverOverwritesAndNamesWhatWentWrong) {
    const std::string from = tmp.write("a.txt", "A");
    const std::string to = tmp.write("b.txt", "B");
    EXPECT_EQ(raised([&] { renameFile(from, to); }),
              "File or directory specified by " + q(to) +
                  " already exists or could not be created (invalid path);or " + q(from) +
                  " is a directory and " + q(to) + " specifies a different path.");
    EXPECT_EQ(readAll(to), "B");

    const std::string fresh = tmp.path("c.txt");
    EXPECT_TRUE(renameFile(from, fresh));
    EXPECT_EQ(readAll(fresh), "A");
    EXPECT_FALSE(exists(from));
    EXPECT_EQ(raised([&] { renameFile(from, fresh); }),
              "File or path specified by " + q(from) + " not found.");
}

TEST_F(FileSystemTest, MoveRenamesInTheFolderAndCopiesAcrossFolders) {
    const std::string from = tmp.write("m.txt", "moved");
    const std::string sameFolder = tmp.path("n.txt");
    EXPECT_TRUE(moveFile(from, sameFolder));
    const std::string otherFolder = tmp.path("other/n.txt");
    fs::create_directory(tmp.path("other"));
    EXPECT_TRUE(moveFile(backslashed(sameFolder), otherFolder));
    EXPECT_FALSE(exists(sameFolder));
    EXPECT_EQ(readAll(otherFolder), "moved");

    const std::string blocker = tmp.write("blocker.txt", "keep");
    EXPECT_EQ(raised([&] { moveFile(otherFolder, blocker); }), " File " + q(blocker) + " already exists!");
    EXPECT_EQ(readAll(blocker), "keep");
}

TEST_F(FileSystemTest, CopyAndDeleteReportTheSystemReason) {
    const std::string from = tmp.write("src.bin", std::string("\0\1\2 data", 8));
    const std::string to = tmp.path("dst.bin");
    copyFile(from, to);
    EXPECT_EQ(readAll(to), readAll(from));
    EXPECT_EQ(raised([&] { copyFile(from, to); }),
              "Couldn't copy file " + q(from) + " to file " + q(to) + ": " + lastErrorText(EEXIST));
    const std::string missing = tmp.path("missing");
    EXPECT_EQ(
        raised([&] { copyFile(missing, tmp.path("x")); }),
        "Couldn't copy file " + q(missing) + " to file " + q(tmp.path("x")) + ": " + lastErrorText(ENOENT));
    EXPECT_FALSE(exists(tmp.path("x")));

    deleteFile(to);
    EXPECT_FALSE(exists(to));
    EXPECT_EQ(raised([&] { deleteFile(to); }), "Error deleting " + q(to) + ": " + lastErrorText(ENOENT));
}

TEST_F(FileSystemTest, MakeDirectoriesBuildsEveryMissingFolder) {
    const std::string one = tmp.path("one");
    EXPECT_TRUE(makeDirectory(one));
    EXPECT_EQ(raised([&] { makeDirectory(one); }),
              "Directory was not created because " + q(one) +
                  " is the name of an existing file, directory, or device.");
    const std::string deep = tmp.path("no/parent");
    EXPECT_EQ(raised([&] { makeDirectory(deep); }), "The path " + q(deep) + " was not found.");

    const std::string nested = backslashed(tmp.path("a/b/c"));
    makeDirectories(nested);
    EXPECT_TRUE(isDirectory(tmp.path("a/b/c")));
    makeDirectories(nested);  // already there: nothing to do

    tmp.write("file", "x");
    const std::string through = tmp.path("file/sub");
    EXPECT_THAT(raised([&] { makeDirectories(through); }),
                ::testing::HasSubstr("is the name of an existing file"));
    EXPECT_EQ(raised([] { makeDirectories("Q:\\nothing"); }), " Path " + q("Q:\\nothing") + " invalid!");
}

TEST_F(FileSystemTest, RemoveDirectoryNeedsAnEmptyFolder) {
    const std::string folder = tmp.path("full");
    tmp.write("full/f", "x");
    EXPECT_EQ(
        raised([&] { removeDirectory(folder); }),
        "The path " + q(folder) +
            " is not a directory; directory is not empty; or directory is either current working directory "
            "or root directory.");
    const std::string missing = tmp.path("missing");
    EXPECT_EQ(raised([&] { removeDirectory(missing); }), "The path " + q(missing) + " is invalid.");
    fs::create_directory(tmp.path("empty"));
    EXPECT_TRUE(removeDirectory(tmp.path("empty")));
    EXPECT_FALSE(exists(tmp.path("empty")));
}

TEST_F(FileSystemTest, RemoveTreeDeletesEverythingButWhatLinksPointTo) {
    TempFolder outside;
    outside.write("precious.txt", "keep");
    tmp.write("tree/a.txt", "1");
    tmp.write("tree/sub/b.txt", "2");
    tmp.write("tree/sub/deeper/c.txt", "3");
    fs::create_directory_symlink(outside.path(), tmp.path("tree/sub/link"));

    EXPECT_TRUE(removeDirectoryTree(backslashed(tmp.path("tree"))));
    EXPECT_FALSE(fs::exists(tmp.path("tree")));
    EXPECT_EQ(readAll(outside.path("precious.txt")), "keep");
    EXPECT_EQ(raised([&] { removeDirectoryTree(tmp.path("tree")); }),
              "Folder " + q(tmp.path("tree")) + " doesn't exist!");
}

TEST_F(FileSystemTest, CopyTreeCopiesFilesAndFoldersRecursivelyOnRequest) {
    tmp.write("from/a.txt", "new a");
    tmp.write("from/sub/b.txt", "b");
    tmp.write("flat/a.txt", "old a");
    tmp.write("deep/x", "");

    copyDirectoryTree(tmp.path("from"), tmp.path("flat"), false);
    EXPECT_EQ(readAll(tmp.path("flat/a.txt")), "new a");
    EXPECT_TRUE(isDirectory(tmp.path("flat/sub")));
    EXPECT_FALSE(exists(tmp.path("flat/sub/b.txt")));

    copyDirectoryTree(tmp.path("from"), tmp.path("deep"), true);
    EXPECT_EQ(readAll(tmp.path("deep/sub/b.txt")), "b");

    const std::string missing = tmp.path("missing");
    EXPECT_EQ(raised([&] { copyDirectoryTree(missing, tmp.path("deep"), true); }),
              " " + q(missing) + " doesn't exist!");
    EXPECT_EQ(raised([&] { copyDirectoryTree(tmp.path("from"), missing, true); }),
              " " + q(missing) + " doesn't exist!");
}

TEST_F(FileSystemTest, ListingFiltersFilesByPatternAndKeepsFolders) {
    tmp.write("d/a1.txt", "");
    tmp.write("d/b2.txt", "");
    tmp.write("d/d3.txt", "");
    tmp.write("d/notes", "");
    tmp.write("d/sub.dir/inner", "");
    tmp.write("d/plain/inner", "");
    const std::string d = tmp.path("d");

    EXPECT_THAT(listDirectory(d, "[a-c]*.txt", false, true), ElementsAre("a1.txt", "b2.txt"));
    EXPECT_THAT(listDirectory(d, "*.txt", true, true), ElementsAre("a1.txt", "b2.txt", "d3.txt"));
    // The system search stands "*.*" for every name; files must also match it by the wildcard rules.
    EXPECT_THAT(listDirectory(d, "*.*", true, true),
                ElementsAre("a1.txt", "b2.txt", "d3.txt", "plain", "sub.dir"));
    EXPECT_THAT(listFolders(d), ElementsAre("plain", "sub.dir"));
    EXPECT_THAT(listFiles(d), ElementsAre("a1.txt", "b2.txt", "d3.txt", "notes"));
    EXPECT_EQ(listEntries(d).size(), 6u);
    EXPECT_THAT(listEntries(tmp.path("missing")), IsEmpty());
    EXPECT_EQ(raised([&] { listDirectory(d, "", true, true); }),
              "Invalid filename specification: " + q(joinPath(d, "")));

    EXPECT_FALSE(isDirectoryEmpty(d));
    fs::create_directory(tmp.path("void"));
    EXPECT_TRUE(isDirectoryEmpty(tmp.path("void")));
}

TEST_F(FileSystemTest, AFolderIsEmptyOnlyWhenItHoldsNoEntryAtAll) {
    // Entries whose names have no dot are found by the "*.*" search all the same.
    tmp.write("onlyfile/notes", "");
    tmp.write("onlyfolder/plain/inner", "");
    tmp.write("dotted/.hidden", "");
    fs::create_directory(tmp.path("nothing"));
    const struct {
        const char* folder;
        bool empty;
    } cases[] = {
        {"onlyfile", false}, {"onlyfolder", false}, {"dotted", false}, {"nothing", true}, {"absent", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isDirectoryEmpty(tmp.path(c.folder)), c.empty) << c.folder;
    }
}

TEST_F(FileSystemTest, CurrentFolderChangesWithinTheLengthLimit) {
    const ScopedCurrentFolder restore(fs::current_path().string());
    setCurrentDirectory(backslashed(tmp.path()) + "\\");
    EXPECT_EQ(currentDirectory(), fs::canonical(tmp.path()).string());

    const std::string tooLong(259, 'x');  // the added backslash makes 260
    EXPECT_EQ(raised([&] { setCurrentDirectory(tooLong); }),
              "The path length should not exceed 260 chars including the final \"\\\": " + q(tooLong));
    std::string fits;
    while (fits.size() < 258) {
        fits += "x\\";
    }
    EXPECT_EQ(raised([&] { setCurrentDirectory(fits); }),
              " -- SetCurrentDirectory error " + std::to_string(ENOENT));
}

struct HomeCase {
    const char* home;
    const char* drive;
    const char* path;
    const char* expected;
};

TEST_F(FileSystemTest, HomeFolderFallsBackFromHomeToDriveAndPath) {
    const HomeCase cases[] = {
        {"/home/u", "X:", "\\p", "/home/u"}, {nullptr, "X:", "\\p", "X:\\p"},
        {nullptr, nullptr, "\\p", "\\p"},    {nullptr, "X:", nullptr, "X:"},
        {nullptr, nullptr, nullptr, "C:\\"},
    };
    for (const auto& c : cases) {
        const ScopedVariable home("HOME", c.home);
        const ScopedVariable drive("HOMEDRIVE", c.drive);
        const ScopedVariable path("HOMEPATH", c.path);
        EXPECT_EQ(homeDirectory(), c.expected);
    }
}

TEST_F(FileSystemTest, SearchListsAreTriedInOrderWithTheCurrentFolderFirst) {
    tmp.write("first/tool", "1");
    tmp.write("second/tool", "2");
    tmp.write("second/other", "2");
    const std::string list = tmp.path("none") + ";;" + tmp.path("first") + ";" + tmp.path("second");
    EXPECT_EQ(findInList("tool", list), joinPath(tmp.path("first"), "tool"));
    EXPECT_EQ(findInList("other", list), joinPath(tmp.path("second"), "other"));
    EXPECT_EQ(findInList("absent", list), "");
    EXPECT_EQ(raised([&] { findInList("bin\\tool", list); }), "File name " + q("bin\\tool") + " is invalid!");

    const ScopedVariable path("PATH", (tmp.path("first") + ":" + tmp.path("second")).c_str());
    EXPECT_EQ(findInPath("other"), joinPath(tmp.path("second"), "other"));
    {
        const ScopedCurrentFolder here(tmp.path("second"));
        EXPECT_EQ(findInPath("tool"), ".\\tool");
        EXPECT_EQ(programDirectory("tool"), ".\\");
    }
    EXPECT_EQ(programDirectory("tool"), withTrailingSeparator(tmp.path("first")));
    EXPECT_EQ(programDirectory("D:\\apps\\tool"), "D:\\apps\\");
}

TEST(ErrorTextTest, SystemTextsWithoutTrailingLineFeed) {
    EXPECT_EQ(lastErrorText(ENOENT), "No such file or directory");
    errno = EACCES;
    EXPECT_EQ(lastErrorText(), "Permission denied");
}

}  // namespace
}  // namespace orvik
