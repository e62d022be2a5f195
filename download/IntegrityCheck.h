#pragma once

#include <string>

// The check of a downloaded file against the MD5 that its effective URL carries as last folder name.
enum class IntegrityOutcome {
    DigestMissing, // the URL carries no 32-character digest: the file is taken as good
    Match,         // the digest matches, or the file could not be read (taken as good)
    Mismatch,
};

IntegrityOutcome CheckIntegrity(const std::string& effectiveUrl, const std::wstring& path);
