#include <gtest/gtest.h>

#include <map>
#include <string>

#include "config/VersionReport.h"

namespace {

VersionTexts SampleTexts()
{
    return VersionTexts{"19.0.0.4", "2019-06-01", "19.0.0.3", "2019-01-15"};
}

// Change lines keyed by number; a missing number reads as empty.
std::function<CString(int)> Lines(std::map<int, std::string> lines, int* highestRead = nullptr)
{
    return [lines, highestRead](int n) {
        if (highestRead != nullptr && n > *highestRead)
            *highestRead = n;
        auto it = lines.find(n);
        return it == lines.end() ? CString() : CString(it->second.c_str());
    };
}

const std::string kHead =
    "最新版本：V19.0.0.4\r\n发布日期：2019-06-01\r\n目前版本：19.0.0.3\r\n版本日期：2019-01-15\r\n升级内容：";

}  // namespace

TEST(VersionReport, JoinsLinesWithCrLfAndNoneAfterTheLast)
{
    CString report = FormatVersionReport(SampleTexts(), Lines({{1, "修正错误"}, {2, "100% faster %d %s"}}));
    EXPECT_EQ(kHead + "\r\n修正错误\r\n100% faster %d %s", std::string(report));
}

TEST(VersionReport, ChangeListEndsAtTheFirstGapOrTheHundredthLine)
{
    int highest = 0;
    CString gap = FormatVersionReport(SampleTexts(), Lines({{1, "a"}, {2, "b"}, {4, "d"}}, &highest));
    EXPECT_EQ(kHead + "\r\na\r\nb", std::string(gap));
    EXPECT_EQ(3, highest);

    std::map<int, std::string> many;
    for (int n = 1; n <= 120; ++n)
        many[n] = "L" + std::to_string(n);
    highest = 0;
    CString capped = FormatVersionReport(SampleTexts(), Lines(many, &highest));
    EXPECT_EQ(100, highest);
    EXPECT_NE(std::string::npos, std::string(capped).find("\r\nL100"));
    EXPECT_EQ(std::string::npos, std::string(capped).find("L101"));

    EXPECT_EQ(kHead, std::string(FormatVersionReport(SampleTexts(), Lines({}))));
}

TEST(VersionReport, EmptyLocalValuesLeaveEmptyFields)
{
    CString report = FormatVersionReport(VersionTexts{"2", "d", "", ""}, Lines({}));
    EXPECT_EQ("最新版本：V2\r\n发布日期：d\r\n目前版本：\r\n版本日期：\r\n升级内容：", std::string(report));
}

TEST(VersionDecision, ModesCompareTheirOwnNumberStrictly)
{
    struct {
        const char* mode;
        VersionNumbers local, remote;
        bool newer;
    } cases[] = {
        {"eck", {2.5f, 1}, {2.5f, 9}, false},  // equal totals; ver does not count
        {"eck", {2.5f, 1}, {2.6f, 1}, true},
        {"eck", {1.9f, 0}, {1.1f, 0}, false},  // "1.10" read as a number
        {"ery", {3, 1}, {3, 2}, true},         // greater ver, equal totals
        {"ery", {3, 2}, {4, 2}, false},        // equal vers; total does not count
        {"ery", {0, 0}, {0, 0.5f}, true},
        {"run", {5, 5}, {5, 5}, true},         // any other tag: always newer
        {"ECK", {5, 5}, {1, 1}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.newer, IsNewerVersion(c.mode, c.local, c.remote)) << c.mode;
}
