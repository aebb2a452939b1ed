#include "config/VersionReport.h"

#include "app/CommandLine.h"
#include "config/IniKeys.h"

const char kUpToDateText[] = "当前使用版本已经是最新版本，无需升级！";

bool IsNewerVersion(const CString& modeTag, VersionNumbers local, VersionNumbers remote)
{
    if (modeTag == kModeInteractive)
        return remote.total > local.total;
    if (modeTag == kModeQuiet)
        return remote.ver > local.ver;
    return true;
}

CString FormatVersionReport(const VersionTexts& texts, const std::function<CString(int)>& changeLine)
{
    CString report;
    report.Format("最新版本：V%s\r\n发布日期：%s\r\n目前版本：%s\r\n版本日期：%s",
                  texts.remoteBuild.GetString(), texts.remoteDate.GetString(),
                  texts.localBuild.GetString(), texts.localDate.GetString());
    report += "\r\n升级内容：";
    for (int n = 1; n <= Descriptor::contentMaxLines; ++n) {
        CString line = changeLine(n);
        if (line.IsEmpty())
            break;
        report += "\r\n";
        report += line;
    }
    return report;
}
