#pragma once

#include <string>

// The texts that tell analytics why a download or an installation failed; each fits the report's
// 200-character buffer and is cut there.
std::wstring ShortFailureText(double code, const std::wstring& message);
// With the state of the machine: free space where the package goes, whether the package file can be
// written there (an existing package file is deleted by the test), and the network check's result.
std::wstring DownloadFailureText(double code, const std::wstring& message, const std::wstring& packagePath);
