#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/runtime/lum/LumTestSupport.h"
#include "vel/exception/MemoryException.h"
#include "vel/exception/NvoException.h"
#include "vel/exception/WindowsException.h"

using ::testing::HasSubstr;

TEST(Exception, EachClassReportsItselfToTheLog) {
    struct Case {
        std::shared_ptr<BaseException> exception;
        std::vector<std::string> lines;
    } cases[] = {
        {std::make_shared<MemoryException>(-17),
         {"%BRISEL-3-ERROR_MSG: %[tid=", "]: Internal error 5, contact software manufacturer\n",
          "]: CAUGHT: MemoryException => -17{error}\n"}},
        {std::make_shared<NvoException>("src/vel/timer/timerlistimpl.cpp", 77, "slTimerCreate", -5),
         {"]: Internal error 3, contact software manufacturer\n",
          "]: CAUGHT: NvoException for function 'slTimerCreate' => -5{error} [timerlistimpl.cpp:77]\n"}},
        {std::make_shared<NvoException>("service\\win32\\main.cpp", 9, nullptr, 2),
         {"]: CAUGHT: NvoException for function '?' => 2{error} [main.cpp:9]\n"}},
    };
    for (const Case& c : cases) {
        TempRoot root;
        // Thrown and caught as the handlers of the service do it: by the root class.
        try {
            throw c.exception.get();
        } catch (const BaseException* e) {
            e->report();
        }
        std::string text = readText(root.log());
        for (const std::string& line : c.lines) EXPECT_THAT(text, HasSubstr(line));
    }
}

TEST(Exception, WindowsExceptionGoesToStandardOutput) {
    TempRoot root;
    ::testing::internal::CaptureStdout();
    try {
        throw WindowsException("platform/win/service.cpp", 31, "OpenSCManagerW", 5);
    } catch (const BaseException& e) {
        e.report();
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "CAUGHT: WindowsException for function 'OpenSCManagerW' => 5{error} [service.cpp:31]\n");
    EXPECT_FALSE(fileExists(root.log()));
}

TEST(Exception, PathExceptionKeepsTheFileNameAfterTheLastSeparator) {
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {{"src/vel/port/portimpl.cpp", "portimpl.cpp"},
                 {"src\\vel\\adapter\\adapterimpl.cpp", "adapterimpl.cpp"},
                 {"mixed/dir\\name.cpp", "name.cpp"},
                 {"plain.cpp", "plain.cpp"},
                 {nullptr, "?"}};
    for (const Case& c : cases) {
        NvoException e(c.path, 12, "f", -1);
        EXPECT_STREQ(e.file(), c.name);
        EXPECT_EQ(e.line(), 12);
    }
}
