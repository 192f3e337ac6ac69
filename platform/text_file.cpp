// CRLF text files, shared by both backends: line feeds become CR LF by hand (the file is opened in
// binary mode), so the bytes on disk are the same on every platform, and every failure is kept
// until the close reports it.
#include <cstdio>
#include <cstdlib>

#include "platform/backend.h"
#include "platform/platform.h"

namespace platform {

struct TextFile {
    std::FILE* stream;
    int failed;
};

TextFile* TextFileCreate(const char* path) {
    auto* file = static_cast<TextFile*>(std::malloc(sizeof(TextFile)));
    if (file == nullptr) {
        return nullptr;
    }
    file->stream = OpenForWriting(path);
    file->failed = 0;
    if (file->stream == nullptr) {
        std::free(file);
        return nullptr;
    }
    return file;
}

int TextFileWrite(TextFile* file, const char* text, size_t length) {
    if (file == nullptr || (text == nullptr && length > 0)) {
        return 0;
    }
    size_t begin = 0;
    for (size_t i = 0; i < length && file->failed == 0; ++i) {
        if (text[i] != '\n') {
            continue;
        }
        if (std::fwrite(text + begin, 1, i - begin, file->stream) != i - begin ||
            std::fwrite("\r\n", 1, 2, file->stream) != 2) {
            file->failed = 1;
        }
        begin = i + 1;
    }
    if (file->failed == 0 && begin < length &&
        std::fwrite(text + begin, 1, length - begin, file->stream) != length - begin) {
        file->failed = 1;
    }
    return file->failed == 0 ? 1 : 0;
}

int TextFileClose(TextFile* file) {
    if (file == nullptr) {
        return 0;
    }
    int ok = file->failed == 0 ? 1 : 0;
    if (std::fflush(file->stream) != 0 || std::ferror(file->stream) != 0) {
        ok = 0;
    }
    // The data must be on the device before a rename can make it the only copy.
    if (ok != 0 && SyncToDisk(file->stream) == 0) {
        ok = 0;
    }
    if (std::fclose(file->stream) != 0) {
        ok = 0;
    }
    std::free(file);
    return ok;
}

} // namespace platform
