#include "download/CurlHandle.h"

#include "platform/TextCodec.h"

std::wstring CurlErrorText(int code) {
    return Platform::FromUtf8(curl_easy_strerror(static_cast<CURLcode>(code)));
}

size_t DiscardBody(char*, size_t size, size_t count, void*) {
    return size * count;
}

std::string CurlUrlText(const std::wstring& url) {
    return url.starts_with(L"file:///") ? Platform::NativeText(url) : Platform::ToUtf8(url);
}
