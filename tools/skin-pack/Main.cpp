// skin-pack <folder> <out.7z>: packs a skin folder into a 7z archive (LZMA2), one entry per
// directory and file, named relative to the folder with "/" separators. Entries are sorted and
// carry no times or owners, so the same folder always gives the same archive.

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct WriterCloser {
    void operator()(archive* writer) const { archive_write_free(writer); }
};
struct EntryCloser {
    void operator()(archive_entry* entry) const { archive_entry_free(entry); }
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "skin-pack: %s\n", message.c_str());
    return 1;
}

// Removes the partial archive unless the run got as far as renaming it.
struct PartialFile {
    fs::path path;
    ~PartialFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

std::string ArchiveError(archive* writer) {
    const char* text = archive_error_string(writer);
    return text ? text : "unknown libarchive error";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skin-pack <folder> <out.7z>\n");
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path output = argv[2];

    std::error_code error;
    if (!fs::is_directory(folder, error))
        return Fail("not a folder: " + folder.string());

    // Collected first, so the archive's order does not depend on the file system's.
    std::vector<fs::path> paths;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_directory() || it->is_regular_file())
            paths.push_back(it->path());
    if (error)
        return Fail("cannot list " + folder.string() + ": " + error.message());
    std::sort(paths.begin(), paths.end());

    // Written beside the target and renamed, so a failed run never leaves a half archive behind.
    const fs::path partial = output.string() + ".partial";
    PartialFile cleanup{partial};
    std::unique_ptr<archive, WriterCloser> writer(archive_write_new());
    if (archive_write_set_format_7zip(writer.get()) != ARCHIVE_OK ||
        archive_write_set_format_option(writer.get(), "7zip", "compression", "lzma2") != ARCHIVE_OK ||
        archive_write_open_filename(writer.get(), partial.c_str()) != ARCHIVE_OK)
        return Fail("cannot create " + partial.string() + ": " + ArchiveError(writer.get()));

    for (const fs::path& path : paths) {
        const bool directory = fs::is_directory(path);
        std::vector<char> bytes;
        if (!directory) {
            std::ifstream in(path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (!in && !in.eof())
                return Fail("cannot read " + path.string());
        }
        std::unique_ptr<archive_entry, EntryCloser> entry(archive_entry_new());
        archive_entry_set_pathname_utf8(entry.get(),
                                        path.lexically_relative(folder).generic_string().c_str());
        archive_entry_set_filetype(entry.get(), directory ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), directory ? 0755 : 0644);
        archive_entry_set_size(entry.get(), la_int64_t(bytes.size()));
        if (archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK)
            return Fail("cannot add " + path.string() + ": " + ArchiveError(writer.get()));
        if (!bytes.empty() &&
            archive_write_data(writer.get(), bytes.data(), bytes.size()) != la_ssize_t(bytes.size()))
            return Fail("cannot add " + path.string() + ": " + ArchiveError(writer.get()));
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        return Fail("cannot finish " + partial.string() + ": " + ArchiveError(writer.get()));
    writer.reset();

    fs::rename(partial, output, error);
    if (error)
        return Fail("cannot write " + output.string() + ": " + error.message());
    return 0;
}
