#include "engine/core/log.h"
#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

using engine::core::Exception;
using engine::core::Logging;
using namespace kovra::test;

namespace {

const std::string kHeader =
    "<html>\r\n<head>\r\n"
    "<style type=\"text/css\">\r\n"
    "body\r\n{\r\n\tfont-family: Verdana;\r\n}\r\ntr\r\n{\r\n\tfont-size: 70%;\r\n\tfont-weight: "
    "normal;\r\n}\r\n"
    "tr.warning\r\n{\r\n\tfont-size: 75%;\r\n\tcolor: rgb(100, 0, 0);\r\n}\r\ntr.error\r\n{\r\n"
    "\tfont-size: 80%;\r\n\tcolor: rgb(255, 0, 0);\r\n}\r\n</style>\r\n"
    "<title>KOVRA Log File</title>\r\n</head>\r\n<body>\r\n<table>\r\n"
    "<tr><td>Type</td><td>Line</td><td>File</td><td>Message</td></tr><tr><td><br "
    "/></td></tr>\r\n";

TEST(Logging, FirstReportFollowsHeaderAndFooterEndsFile) {
    LogCapture log;
    Logging::Get()->Message("Adding new module Timer", ".\\kernel.cpp", 76);
    Logging::Get()->Warning("a < b & c", ".\\timer.cpp", 5);
    EXPECT_EQ(log.Close(),
              kHeader +
                  "<tr><td>MESSAGE</td><td>76</td><td>.\\kernel.cpp</td><td>Adding new module "
                  "Timer</td></tr>\r\n"
                  "<tr class=\"warning\"><td>WARNING</td><td>5</td><td>.\\timer.cpp</td><td>a < b "
                  "& c</td></tr>\r\n"
                  "</body></html>\r\n");
}

TEST(Logging, ErrorWritesRowThenThrows) {
    LogCapture log;
    try {
        Logging::Get()->Error("Failed to load music file. Sorry.", ".\\timer.cpp", 36);
        FAIL() << "Error returned";
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetText(), L"Failed to load music file. Sorry.");
        EXPECT_EQ(e.GetFunction(), L".\\timer.cpp:36");
    }
    EXPECT_EQ(log.Rows(), "<tr class=\"error\"><td>ERROR</td><td>36</td><td>.\\timer.cpp</td><td>"
                          "Failed to load music file. Sorry.</td></tr>\r\n");
}

TEST(Logging, WarningsAndErrorsReachTheFileAtOnce) {
    LogCapture log;
    const auto path = log.Dir().Path() / "data" / "log.html";
    Logging::Get()->Message("buffered", "f", 1);
    Logging::Get()->Warning("w", "f", 2);
    const std::string afterWarning = ReadFile(path);
    EXPECT_NE(afterWarning.find("buffered"), std::string::npos);
    EXPECT_NE(afterWarning.find(">w<"), std::string::npos);
    EXPECT_THROW(Logging::Get()->Error("e", "f", 3), Exception);
    EXPECT_NE(ReadFile(path).find(">e<"), std::string::npos);
}

TEST(Logging, MissingDataFolderWritesNothingButStillThrows) {
    ScratchDir dir(false);
    delete Logging::mInstance;
    Logging::Get()->Message("lost", "f", 1);
    EXPECT_THROW(Logging::Get()->Error("still thrown", "f", 2), Exception);
    delete Logging::mInstance;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(Logging, NewLogTruncatesTheOldOne) {
    LogCapture log;
    Logging::Get()->Message("first run", "f", 1);
    delete Logging::mInstance;
    Logging::Get();
    EXPECT_EQ(log.Rows(), "");
}

TEST(StringConversion, RoundTripsThroughUtf8) {
    const std::wstring wide = L"Kelmsong \u00e9\u4e2d\U0001F3B5";
    EXPECT_EQ(engine::core::Narrow(wide), "Kelmsong \xc3\xa9\xe4\xb8\xad\xf0\x9f\x8e\xb5");
    EXPECT_EQ(engine::core::Widen(engine::core::Narrow(wide)), wide);
}

TEST(StringConversion, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(engine::core::Widen("a\xff"
                                  "b\xc3"),
              L"a\uFFFDb\uFFFD");
    EXPECT_EQ(engine::core::Widen("\xe0\x80\x80"), L"\uFFFD\uFFFD\uFFFD"); // overlong
}

TEST(Exception, CopiesAndAssignsBothTexts) {
    Exception a(L"text", L"fn:1");
    Exception b(L"", L"");
    b = a;
    Exception c(b);
    EXPECT_EQ(c.GetText(), L"text");
    EXPECT_EQ(c.GetFunction(), L"fn:1");
}

} // namespace
