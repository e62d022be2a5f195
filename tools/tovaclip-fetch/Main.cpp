// tovaclip-fetch --type N URL PATH
// Runs one downloader as the installer's pipeline does (a restart requested with DL_CODE_RETRY is
// made at once, from the reporting thread) and prints every report as "code<TAB>value<TAB>text".
// Exit 0 after DL_CODE_SUCCESS, 1 after DL_CODE_FAIL, 2 for bad usage.
#include "download/Downloader.h"
#include "platform/TextCodec.h"

#include <clocale>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <mutex>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: tovaclip-fetch --type N URL PATH\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
    if (argc != 5 || std::string(argv[1]) != "--type")
        return usage();
    char* end = nullptr;
    long type = std::strtol(argv[2], &end, 10);
    if (*end != '\0')
        return usage();
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK)
        return 2;

    std::mutex lock;
    std::condition_variable finished;
    int exitCode = -1;
    std::unique_ptr<CDownloader> downloader;
    ReportCallback report = [&](int32_t code, double value, const wchar_t* text) {
        {
            std::lock_guard guard(lock);
            std::printf("%d\t%g\t%s\n", code, value, Platform::ToUtf8(text).c_str());
            std::fflush(stdout);
        }
        if (code == DL_CODE_RETRY) {
            downloader->Start();
        } else if (code == DL_CODE_SUCCESS || code == DL_CODE_FAIL) {
            std::lock_guard guard(lock);
            exitCode = code == DL_CODE_SUCCESS ? 0 : 1;
            finished.notify_all();
        }
    };
    downloader = CreateDownloader(static_cast<int>(type), report, Platform::FromNativeText(argv[3]),
                                  Platform::FromNativeText(argv[4]));
    downloader->Start();
    {
        std::unique_lock guard(lock);
        finished.wait(guard, [&] { return exitCode >= 0; });
    }
    downloader.reset();
    curl_global_cleanup();
    return exitCode;
}
