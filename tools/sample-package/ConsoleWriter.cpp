#include "tools/sample-package/ConsoleWriter.h"

#include <cerrno>
#include <chrono>
#include <iconv.h>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kPiecePause = std::chrono::milliseconds(20);

std::string toCodePage936(const std::string& utf8) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return utf8;
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return utf8;
    out.resize(out.size() - outLeft);
    return out;
}

// Where a split line is cut: after its first few bytes, and inside its first multi-byte character
// (else two thirds in).
std::set<size_t> cutPoints(const std::string& bytes) {
    std::set<size_t> cuts{3};
    size_t lead = 0;
    while (lead < bytes.size() && static_cast<unsigned char>(bytes[lead]) < 0x80)
        ++lead;
    cuts.insert(lead + 1 < bytes.size() ? lead + 1 : bytes.size() * 2 / 3);
    return cuts;
}

} // namespace

void ConsoleWriter::Raw(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

void ConsoleWriter::Line(const std::string& text) {
    std::string bytes = (m_Encoding936 ? toCodePage936(text) : text) + (m_Style.crlf ? "\r\n" : "\n");
    if (text == "Encode=936" && m_Style.cp936)
        m_Encoding936 = true;
    if (!m_Style.split) {
        Raw(bytes);
        return;
    }
    size_t from = 0;
    for (size_t cut : cutPoints(bytes)) {
        if (cut <= from || cut >= bytes.size())
            continue;
        Raw(bytes.substr(from, cut - from));
        std::this_thread::sleep_for(kPiecePause);
        from = cut;
    }
    Raw(bytes.substr(from));
}
