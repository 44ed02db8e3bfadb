#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/orvik/FileSystem.h"
#include "gui/orvik/PathName.h"
#include "gui/orvik/Paths.h"

namespace orvik {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct TextCase {
    std::string input;
    std::string expected;
};

struct PairCase {
    std::string a;
    std::string b;
    std::string expected;
};

TEST(PathTextTest, JoinAddsOneBackslashOnlyWhereNeeded) {
    const PairCase cases[] = {
        {"D:\\dir", "", "D:\\dir\\"}, {"", "name", "name"},     {"a/", "b", "a/b"},
        {"a\\", "b", "a\\b"},         {"a", "b\\c", "a\\b\\c"}, {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(joinPath(c.a, c.b), c.expected) << c.a << " + " << c.b;
    }
    const TextCase trailing[] = {{"", ""}, {"a", "a\\"}, {"a/", "a/"}, {"C:\\", "C:\\"}};
    for (const auto& c : trailing) {
        EXPECT_EQ(withTrailingSeparator(c.input), c.expected) << c.input;
    }
}

struct SplitCase {
    std::string path;
    std::string directory;
    std::string name;
    std::string extension;
    std::string stem;
};

TEST(PathTextTest, SplitsAtTheLastSeparatorAndTheLastDot) {
    const SplitCase cases[] = {
        {"name", "", "name", "", "name"},
        {"C:\\d\\f.txt", "C:\\d\\", "f.txt", "txt", "f"},
        {"a/b\\c.tar.gz", "a/b\\", "c.tar.gz", "gz", "c.tar"},
        {"dir\\", "dir\\", "", "", ""},
        {".bashrc", "", ".bashrc", "", ".bashrc"},
        {"dir.d\\file", "dir.d\\", "file", "", "file"},
        {"x.", "", "x.", "", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(directoryOf(c.path), c.directory) << c.path;
        EXPECT_EQ(fileName(c.path), c.name) << c.path;
        EXPECT_EQ(extension(c.path), c.extension) << c.path;
        EXPECT_EQ(stem(c.path), c.stem) << c.path;
    }
}

TEST(PathTextTest, EnsureExtensionAddsItUnlessAlreadyThere) {
    const PairCase cases[] = {
        {"f", "txt", "f.txt"},
        {"f.txt", ".txt", "f.txt"},
        {"f.txt", "txt", "f.txt"},
        {"f.TXT", "txt", "f.TXT.txt"},
        {"f", "", "f"},
        {"a.b", "c", "a.b.c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ensureExtension(c.a, c.b), c.expected) << c.a << ", " << c.b;
    }
    EXPECT_EQ(fileInFolder("D:\\d", "f", "xml"), "D:\\d\\f.xml");
}

TEST(PathTextTest, ValidNamesHoldNoneOfTheNineReservedCharacters) {
    EXPECT_TRUE(isValidName("report 1.txt"));
    EXPECT_FALSE(isValidName(""));
    for (const char c : std::string("|<>\"?*:/\\")) {
        EXPECT_FALSE(isValidName(std::string("a") + c + "b")) << c;
    }
}

struct ParseCase {
    std::string input;
    bool relative;
    std::string root;
    std::vector<std::string> components;
    std::string text;
};

TEST(PathTextTest, ParsingFindsRootAndComponents) {
    const ParseCase cases[] = {
        {"D:\\a\\b", false, "D:", {"a", "b"}, "D:\\a\\b"},
        {"\\\\server\\share\\x", false, "\\\\server", {"share", "x"}, "\\\\server\\share\\x"},
        {"a/b/", true, "", {"a", "b"}, "a\\b"},
        {"", true, "", {}, "."},
        {"/tmp/x", false, "", {"tmp", "x"}, "\\tmp\\x"},
        {"D:", false, "D:", {}, "D:\\"},
        {"D:x", false, "D:", {"x"}, "D:\\x"},
        {"a\\\\b", true, "", {"a", "", "b"}, "a\\\\b"},
    };
    for (const auto& c : cases) {
        const PathName path(c.input);
        EXPECT_EQ(path.relative, c.relative) << c.input;
        EXPECT_EQ(path.root, c.root) << c.input;
        EXPECT_THAT(path.components, ElementsAreArray(c.components)) << c.input;
        EXPECT_EQ(path.text(), c.text) << c.input;
        EXPECT_EQ(isAbsolute(c.input), !c.relative) << c.input;
        EXPECT_EQ(isRelative(c.input), c.relative) << c.input;
    }
    const PathName file("C:\\d\\f.txt", true);
    EXPECT_EQ(file.fileName, "f.txt");
    EXPECT_THAT(file.components, ElementsAre("d"));
    EXPECT_EQ(file.text(), "C:\\d\\f.txt");
    const PathName driveFile("C:f.txt", true);
    EXPECT_EQ(driveFile.fileName, "f.txt");
    EXPECT_EQ(driveFile.text(), "C:\\f.txt");
}

TEST(PathTextTest, NormalizingFoldsDotsAndKeepsLeadingWayUpOfRelativePaths) {
    const TextCase cases[] = {
        {"a\\..\\..\\b", "..\\b"},     {"D:\\..\\x", "D:\\x"},         {"D:\\..\\..\\x", "D:\\x"},
        {"a\\.\\b\\\\c\\", "a\\b\\c"}, {"a\\b\\..\\..\\..", ".."},     {"D:\\a\\..\\..\\b", "D:\\b"},
        {"..\\..\\a\\..", "..\\.."},   {"a\\b\\..\\c\\..\\d", "a\\d"},
    };
    for (const auto& c : cases) {
        PathName path(c.input);
        path.normalize();
        EXPECT_EQ(path.text(), c.expected) << c.input;
    }
}

struct BaseCase {
    std::string path;
    std::string base;
    std::string expected;
};

TEST(PathTextTest, AbsoluteFormsResolveAgainstTheBase) {
    const BaseCase paths[] = {
        {"x\\y", "D:\\base", "D:\\base\\x\\y"},   {"..\\y", "D:\\base\\sub", "D:\\base\\y"},
        {"E:\\abs\\.\\z", "D:\\b", "E:\\abs\\z"}, {"", "D:\\b", "D:\\b"},
        {"..\\..\\..\\q", "D:\\b", "D:\\q"},
    };
    for (const auto& c : paths) {
        EXPECT_EQ(absolutePath(c.path, c.base), c.expected) << c.path << " from " << c.base;
    }
    EXPECT_EQ(absoluteFolder("x", "D:\\b"), "D:\\b\\x\\");
    EXPECT_EQ(absoluteFileName("x\\f.txt", "D:\\b"), "D:\\b\\x\\f.txt");
    EXPECT_EQ(absoluteFileName("f.txt", "D:\\b"), "D:\\b\\f.txt");

    // A relative base, or none, is taken from the current folder.
    std::string cwd = currentDirectory();
    std::replace(cwd.begin(), cwd.end(), '/', '\\');
    EXPECT_EQ(absolutePath("f"), cwd + "\\f");
    EXPECT_EQ(absolutePath("f", "sub\\..\\s2"), cwd + "\\s2\\f");
}

TEST(PathTextTest, RelativeFormsCompareRootsAndFoldersIgnoringCase) {
    const BaseCase cases[] = {
        {"D:\\a\\b\\c", "d:\\A\\e", "..\\b\\c"},
        {"E:\\x", "D:\\y", "E:\\x"},
        {"D:\\a", "D:\\a", "."},
        {"D:\\a", "D:\\a\\b\\c", "..\\.."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(relativePath(c.path, c.base), c.expected) << c.path << " from " << c.base;
    }
    EXPECT_EQ(relativeFolder("D:\\a\\b\\c", "d:\\A\\e"), "..\\b\\c\\");
    EXPECT_EQ(relativeFileName("D:\\a\\b\\f.txt", "D:\\a\\e"), "..\\b\\f.txt");
    EXPECT_EQ(relativePath(absolutePath("one\\two")), "one\\two");
}

TEST(PathTextTest, ComponentListsAndParents) {
    EXPECT_THAT(components("D:\\a\\b"), ElementsAre("D:", "a", "b"));
    EXPECT_THAT(components("a/b"), ElementsAre("a", "b"));
    EXPECT_THAT(fileComponents("D:\\a\\f.txt"), ElementsAre("D:", "a", "f.txt"));
    EXPECT_EQ(fromComponents({"a", "b"}), "a\\b");
    EXPECT_EQ(fromComponents({}), ".");
    const TextCase parents[] = {
        {"D:\\a\\b", "D:\\a"}, {"D:\\", "D:\\"}, {"a", "."}, {"..", "..\\.."}, {"a\\b\\", "a"},
    };
    for (const auto& c : parents) {
        EXPECT_EQ(parentFolder(c.input), c.expected) << c.input;
    }
    EXPECT_TRUE(equalIgnoringCase("C:\\Dir", "c:\\dIR"));
    EXPECT_FALSE(equalIgnoringCase("C:\\Dir", "C:\\Dirt"));
    EXPECT_EQ(currentDirectoryText(), ".");
}

}  // namespace
}  // namespace orvik
