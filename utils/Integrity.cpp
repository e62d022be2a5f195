#include "utils/Integrity.h"

#include "platform/TextCodec.h"

#include <cstdio>
#include <memory>
#include <openssl/evp.h>

namespace Utils {

std::string FileMd5(const std::wstring& path) {
    if (path.empty())
        return {};
    std::unique_ptr<FILE, decltype(&fclose)> file(fopen(Platform::NativeText(path).c_str(), "rb"), &fclose);
    if (!file)
        return {};
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || !EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr))
        return {};
    unsigned char block[1024];
    size_t read;
    while ((read = fread(block, 1, sizeof block, file.get())) > 0)
        EVP_DigestUpdate(context.get(), block, read);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), digest, &length);
    std::string text;
    char pair[3];
    for (unsigned i = 0; i < length; ++i) {
        snprintf(pair, sizeof pair, "%02x", digest[i]);
        text += pair;
    }
    return text;
}

std::string LastDirSegment(const std::string& url) {
    size_t last = url.rfind('/');
    if (last == std::string::npos)
        return {};
    size_t previous = last == 0 ? std::string::npos : url.rfind('/', last - 1);
    if (previous == std::string::npos)
        return {};
    return url.substr(previous + 1, last - previous - 1);
}

} // namespace Utils
