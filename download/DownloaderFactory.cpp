#include "download/CurlDownloader.h"
#include "download/MTCurlDownloader.h"
#include "download/WinDownloader.h"

std::unique_ptr<CDownloader> CreateDownloader(int downloadType, ReportCallback callback,
                                              const std::wstring& url, const std::wstring& targetPath) {
    switch (downloadType) {
    case 2:
        return std::make_unique<CWinDownloader>(std::move(callback), url, targetPath);
    case 3:
        return std::make_unique<CMTCurlDownloader>(std::move(callback), url, targetPath);
    default:
        return std::make_unique<CCurlDownloader>(std::move(callback), url, targetPath);
    }
}
