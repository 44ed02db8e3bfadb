// The image inspector and the Windows path mapping over real files of this build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/image/ImageInspector.h"
#include "platform/image/WindowsPaths.h"

namespace {

namespace fs = std::filesystem;
using image::ImageConstants;

class ImageStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("image-standin-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "c" / "Program Files" / "Varnel Tamsel");
        ::setenv("TAMSEL_HOME", root_.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path program() const { return root_ / "c" / "Program Files" / "Varnel Tamsel"; }

    fs::path root_;
};

TEST_F(ImageStandIn, DeliverableCarriesItsVersionAndImports) {
    auto version = image::ReadFileVersion(BRISELPKG_PATH);
    ASSERT_TRUE(version);
    EXPECT_EQ((*version)[0], 1);
    EXPECT_EQ((*version)[1], 0);
    EXPECT_EQ((*version)[2], 0);

    image::ImageInfo info;
    ASSERT_EQ(image::InspectImage(BRISELPKG_PATH, &info), base::win32::ERROR_SUCCESS);
    EXPECT_NE(std::find(info.imports.begin(), info.imports.end(), "libc.so.6"), info.imports.end());
    EXPECT_FALSE(image::FindModule("libc.so.6", {}).empty());
    EXPECT_TRUE(image::FindModule("libnot-there.so.9", {}).empty());
}

TEST_F(ImageStandIn, FilesThatAreNoImages) {
    std::vector<char> elf;
    {
        std::ifstream in(BRISELPKG_PATH, std::ios::binary);
        elf.assign(std::istreambuf_iterator<char>(in), {});
    }
    fs::path text = root_ / "notes.txt";
    std::ofstream(text) << "plain text\n";
    fs::path truncated = root_ / "truncated";
    std::ofstream(truncated, std::ios::binary).write(elf.data(), 200);
    // A header whose section table lies past the end of the file.
    fs::path lying = root_ / "lying";
    std::vector<char> header(elf.begin(), elf.begin() + 64);
    header[0x28] = char(0xF0);
    header[0x29] = char(0xFF);
    std::ofstream(lying, std::ios::binary).write(header.data(), std::streamsize(header.size()));

    const struct {
        fs::path path;
        uint32_t result;
    } cases[] = {
        {text, base::win32::ERROR_BAD_EXE_FORMAT},
        {truncated, base::win32::ERROR_BAD_EXE_FORMAT},
        {lying, base::win32::ERROR_BAD_EXE_FORMAT},
        {root_ / "absent", base::win32::ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        image::ImageInfo info;
        EXPECT_EQ(image::InspectImage(c.path.string(), &info), c.result) << c.path;
        EXPECT_FALSE(image::ReadFileVersion(c.path.string())) << c.path;
    }
    // The test program itself is no deliverable and carries no version record.
    EXPECT_FALSE(image::ReadFileVersion("/proc/self/exe"));
}

TEST_F(ImageStandIn, WindowsNamesOfLocalFiles) {
    fs::copy_file(BRISELPKG_PATH, program() / "briselpkg");
    fs::copy_file(BRISELPKG_PATH, program() / "libnvobind.so");
    std::ofstream(program() / "ReadMe.TXT") << "text\n";
    std::ofstream(program() / "script") << "#!/bin/sh\n";

    std::vector<std::string> names = winpath::ListFolderFiles(program().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ReadMe.TXT", "briselpkg.exe", "nvobind.dll", "script"}));

    const struct {
        const char* windows;
        fs::path local;
    } cases[] = {
        {"C:\\Program Files\\Varnel Tamsel\\briselpkg.exe", program() / "briselpkg"},
        {"c:\\PROGRAM FILES\\varnel tamsel\\NVOBIND.DLL", program() / "libnvobind.so"},
        {"C:\\Program Files\\Varnel Tamsel\\readme.txt", program() / "ReadMe.TXT"},
        {"C:\\Program Files\\Absent\\x.exe", root_ / "c" / "Program Files" / "Absent" / "x.exe"},
        {"C:\\Program Files\\..\\BriselSsoDbg.txt", root_ / "c" / "BriselSsoDbg.txt"},
        {"C:\\..\\..\\etc\\passwd", root_ / "c" / "etc" / "passwd"},
    };
    for (const auto& c : cases) EXPECT_EQ(winpath::MapWindowsPath(c.windows), c.local.string()) << c.windows;
    EXPECT_EQ(winpath::MapWindowsPath("/usr/lib"), "/usr/lib");
    EXPECT_EQ(winpath::WindowsPathOf((program() / "briselpkg").string()),
              "C:\\Program Files\\Varnel Tamsel\\briselpkg");
    EXPECT_EQ(winpath::WindowsPathOf("/usr/lib"), "");
}

}  // namespace
