#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"

struct CommandLineCase {
    const char* raw;
    const char* cleaned;
    const char* modeTag;
};

class CommandLineCleaning : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineCleaning, DropsQuotesTrimsAndTakesTheTag)
{
    const CommandLineCase& c = GetParam();
    CString cleaned = CleanCommandLine(c.raw);
    EXPECT_STREQ(c.cleaned, cleaned);
    EXPECT_STREQ(c.modeTag, ModeTagOf(cleaned));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineCleaning,
    testing::Values(
        CommandLineCase{"\"C:\\Program Files\\Q\\Updater.exe\"", "C:\\Program Files\\Q\\Updater.exe", "exe"},
        CommandLineCase{"\"C:\\Q\\Updater.exe\" C:\\Other\\tool.exe", "C:\\Q\\Updater.exe C:\\Other\\tool.exe", "exe"},
        CommandLineCase{"C:\\Q\\Updater.exe /check", "C:\\Q\\Updater.exe /check", "eck"},
        CommandLineCase{"C:\\Q\\Updater.exe \"/query\"", "C:\\Q\\Updater.exe /query", "ery"},
        CommandLineCase{"C:\\Q\\Updater.exe /run", "C:\\Q\\Updater.exe /run", "run"},
        CommandLineCase{"C:\\Q\\Updater.exe ch\"e\"ck", "C:\\Q\\Updater.exe check", "eck"},
        CommandLineCase{"  \t C:\\Q\\Updater.exe check \t\r\n ", "C:\\Q\\Updater.exe check", "eck"},
        CommandLineCase{"C:\\Q\\UPDATER.EXE", "C:\\Q\\UPDATER.EXE", "EXE"},
        CommandLineCase{"\"ab\"", "ab", "ab"},
        CommandLineCase{"\"\"", "", ""}),
    [](const testing::TestParamInfo<CommandLineCase>& info) {
        return "case" + std::to_string(info.index);
    });
