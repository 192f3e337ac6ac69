// POSIX backend. The code page is our own model of the Windows ANSI code pages the plug-ins meet:
// the single-byte default and the four double-byte East Asian code pages, told apart by their
// lead-byte ranges. Paths arrive Windows-style; every path is turned to forward slashes here.
#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/platform.h"

namespace platform {

namespace {

int g_codePage = 0;

constexpr size_t kPathSize = 4096;

// Copies `path` into `out` with `\` turned into `/`. 0 when the path is empty or too long.
int ToPosixPath(const char* path, char* out, size_t size) {
    if (path == nullptr || path[0] == 0) {
        return 0;
    }
    size_t i = 0;
    for (; path[i] != 0; ++i) {
        if (i + 1 >= size) {
            return 0;
        }
        out[i] = path[i] == '\\' ? '/' : path[i];
    }
    out[i] = 0;
    return 1;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// `*` and `?` against a bare name, ignoring ASCII case as the Windows file system does.
bool MatchWildcard(const char* pattern, const char* name) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != 0) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern != 0 && FoldAscii(*pattern) == FoldAscii(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') {
        ++pattern;
    }
    return *pattern == 0;
}

bool MatchName(const char* pattern, const char* name) {
    // Windows lets "*.*" stand for every name, with or without a dot.
    if (std::strcmp(pattern, "*.*") == 0) {
        return true;
    }
    return MatchWildcard(pattern, name);
}

struct Search {
    DIR* dir;
    char directory[kPathSize]; // with a trailing '/', or empty for the current directory
    char pattern[260];
};

// Fills `out` with the next directory entry that matches. 0 at the end.
int NextMatch(Search* search, FindData* out) {
    for (;;) {
        const dirent* entry = readdir(search->dir);
        if (entry == nullptr) {
            return 0;
        }
        const size_t length = std::strlen(entry->d_name);
        if (length >= sizeof out->name || !MatchName(search->pattern, entry->d_name)) {
            continue; // Windows cannot name it in 260 bytes either
        }
        char full[kPathSize];
        const int written =
            std::snprintf(full, sizeof full, "%s%s", search->directory, entry->d_name);
        struct stat info {};
        uint32_t attributes = 0;
        if (written > 0 && static_cast<size_t>(written) < sizeof full && stat(full, &info) == 0 &&
            S_ISDIR(info.st_mode)) {
            attributes = kAttributeDirectory;
        }
        std::memcpy(out->name, entry->d_name, length + 1);
        out->attributes = attributes;
        return 1;
    }
}

char g_libraryError[512] = "no error";

void SetLibraryError(const char* text) {
    std::snprintf(g_libraryError, sizeof g_libraryError, "%s",
                  text != nullptr ? text : "unknown library error");
}

} // namespace

// ---- code page -------------------------------------------------------------------------------

int SetCodePage(int codePage) {
    switch (codePage) {
    case 0:
    case 932:
    case 936:
    case 949:
    case 950:
        g_codePage = codePage;
        return 1;
    default:
        return 0;
    }
}

int ActiveCodePage() {
    return g_codePage;
}

int IsLeadByte(unsigned char byte) {
    switch (g_codePage) {
    case 932:
        return ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) ? 1 : 0;
    case 936:
    case 949:
    case 950:
        return (byte >= 0x81 && byte <= 0xFE) ? 1 : 0;
    default:
        return 0;
    }
}

// ---- directory search ------------------------------------------------------------------------

void* FindFirst(const char* pattern, FindData* out) {
    char path[kPathSize];
    if (out == nullptr || ToPosixPath(pattern, path, sizeof path) == 0) {
        return nullptr;
    }
    const char* slash = std::strrchr(path, '/');
    const char* namePattern = slash != nullptr ? slash + 1 : path;
    if (namePattern[0] == 0 || std::strlen(namePattern) >= sizeof Search::pattern) {
        return nullptr;
    }
    auto* search = static_cast<Search*>(std::malloc(sizeof(Search)));
    if (search == nullptr) {
        return nullptr;
    }
    std::memcpy(search->pattern, namePattern, std::strlen(namePattern) + 1);
    const size_t dirLength = slash != nullptr ? static_cast<size_t>(slash - path) + 1 : 0;
    std::memcpy(search->directory, path, dirLength);
    search->directory[dirLength] = 0;
    search->dir = opendir(dirLength > 0 ? search->directory : ".");
    if (search->dir == nullptr || NextMatch(search, out) == 0) {
        FindClose(search);
        return nullptr;
    }
    return search;
}

int FindNext(void* search, FindData* out) {
    if (search == nullptr || out == nullptr) {
        return 0;
    }
    return NextMatch(static_cast<Search*>(search), out);
}

void FindClose(void* search) {
    auto* s = static_cast<Search*>(search);
    if (s == nullptr) {
        return;
    }
    if (s->dir != nullptr) {
        closedir(s->dir);
    }
    std::free(s);
}

// ---- current directory -----------------------------------------------------------------------

int SetCurrentDir(const char* path) {
    char converted[kPathSize];
    if (ToPosixPath(path, converted, sizeof converted) == 0) {
        return 0;
    }
    return chdir(converted) == 0 ? 1 : 0;
}

int GetCurrentDir(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    if (getcwd(buffer, size) == nullptr) {
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

// ---- text files --------------------------------------------------------------------------------

std::FILE* OpenForWriting(const char* path) {
    char converted[kPathSize];
    if (ToPosixPath(path, converted, sizeof converted) == 0) {
        return nullptr;
    }
    return std::fopen(converted, "wb");
}

int SyncToDisk(std::FILE* stream) {
    // EINVAL: the file cannot be synchronised (a pipe, a special file); nothing more to do.
    return fsync(fileno(stream)) == 0 || errno == EINVAL ? 1 : 0;
}

int ReplaceFile(const char* source, const char* target) {
    char from[kPathSize];
    char to[kPathSize];
    if (ToPosixPath(source, from, sizeof from) == 0 || ToPosixPath(target, to, sizeof to) == 0) {
        return 0;
    }
    return std::rename(from, to) == 0 ? 1 : 0;
}

int RemoveFile(const char* path) {
    char converted[kPathSize];
    if (ToPosixPath(path, converted, sizeof converted) == 0) {
        return 0;
    }
    return std::remove(converted) == 0 ? 1 : 0;
}

// ---- libraries
// -----------------------------------------------------------------------------------

void* LibraryOpen(const char* path) {
    char converted[kPathSize];
    if (ToPosixPath(path, converted, sizeof converted) == 0) {
        SetLibraryError("empty or over-long library path");
        return nullptr;
    }
    void* library = dlopen(converted, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        SetLibraryError(dlerror());
    }
    return library;
}

void* LibrarySymbol(void* library, const char* name) {
    if (library == nullptr || name == nullptr) {
        SetLibraryError("no library or no symbol name");
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(library, name);
    if (symbol == nullptr) {
        const char* error = dlerror();
        SetLibraryError(error != nullptr ? error : "symbol has a null address");
    }
    return symbol;
}

void LibraryClose(void* library) {
    if (library != nullptr) {
        dlclose(library);
    }
}

const char* LibraryError() {
    return g_libraryError;
}

} // namespace platform
