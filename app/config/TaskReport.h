#pragma once

#include <functional>
#include <map>
#include <string>

// The installer's "report task" analytics call, reachable from every layer above the settings. The
// usage tracker installs the reporter once it exists; until then reports go nowhere.
using TaskProperties = std::map<std::wstring, std::wstring>;
using TaskReporter = std::function<void(const std::wstring& name, const std::wstring& detail, double elapsed,
                                        const TaskProperties&)>;

void SetTaskReporter(TaskReporter reporter);
void ReportTask(const std::wstring& name, const std::wstring& detail, double elapsed,
                const TaskProperties& properties);
