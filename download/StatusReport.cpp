#include "download/StatusReport.h"

#include "app/config/InstallerConfig.h"
#include "app/config/Reporting.h"

#include <cwchar>

void ReportLengthStatus(long status) {
    wchar_t reason[200];
    swprintf(reason, sizeof reason / sizeof *reason, L"1.获取文件大小的状态码为=%ld；", status);
    ReportTask(L"下载失败原因", reason, 0.0, {{L"AB", InstallerConfig::Instance().m_AbGroup}});
}
