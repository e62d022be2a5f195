#include "download/IntegrityCheck.h"

#include "utils/Integrity.h"

#include <algorithm>
#include <cctype>

IntegrityOutcome CheckIntegrity(const std::string& effectiveUrl, const std::wstring& path) {
    constexpr size_t kDigestLength = 32;
    std::string expected = Utils::LastDirSegment(effectiveUrl);
    if (expected.size() != kDigestLength)
        return IntegrityOutcome::DigestMissing;
    std::string actual = Utils::FileMd5(path);
    if (actual.size() != kDigestLength)
        return IntegrityOutcome::Match;
    // Hexadecimal digits mean the same in either case; servers write the folder either way.
    bool equal = std::ranges::equal(expected, actual, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return equal ? IntegrityOutcome::Match : IntegrityOutcome::Mismatch;
}
