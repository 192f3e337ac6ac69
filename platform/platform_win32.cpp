// Win32 backend: the C runtime's multibyte code page, the Win32 file search, current directory,
// file replacement and library loading. Text files are written in binary with CR LF made by
// hand, the same bytes the POSIX backend writes.
#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA; ours is a different function.
#undef ReplaceFile

#include <io.h>
#include <mbctype.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/platform.h"

namespace platform {

namespace {

char g_libraryError[512] = "no error";

void SetLastLibraryError(const char* what) {
    const DWORD code = GetLastError();
    char message[384] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   message, sizeof message, nullptr);
    // FormatMessage ends its text with CR LF; a message reads better without it.
    size_t length = std::strlen(message);
    while (length > 0 && (message[length - 1] == '\r' || message[length - 1] == '\n')) {
        message[--length] = 0;
    }
    std::snprintf(g_libraryError, sizeof g_libraryError, "%s (error %lu%s%s)", what,
                  static_cast<unsigned long>(code), length > 0 ? ": " : "", message);
}

void Fill(FindData* out, const WIN32_FIND_DATAA& data) {
    const size_t length = strnlen(data.cFileName, sizeof out->name - 1);
    std::memcpy(out->name, data.cFileName, length);
    out->name[length] = 0;
    out->attributes =
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kAttributeDirectory : 0;
}

} // namespace

// ---- code page -------------------------------------------------------------------------------

namespace {
// The runtime reports its own number for the single-byte default (Wine says 20127), so the
// code page last made active is remembered and reported as it was asked for.
int g_activeCodePage = -1; // none set yet: whatever the process started with
} // namespace

int SetCodePage(int codePage) {
    if (_setmbcp(codePage) != 0) {
        return 0;
    }
    g_activeCodePage = codePage;
    return 1;
}

int ActiveCodePage() {
    return g_activeCodePage >= 0 ? g_activeCodePage : _getmbcp();
}

int IsLeadByte(unsigned char byte) {
    return _ismbblead(byte) != 0 ? 1 : 0;
}

// ---- directory search ------------------------------------------------------------------------

void* FindFirst(const char* pattern, FindData* out) {
    if (pattern == nullptr || pattern[0] == 0 || out == nullptr) {
        return nullptr;
    }
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(pattern, &data);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    Fill(out, data);
    return handle;
}

int FindNext(void* search, FindData* out) {
    if (search == nullptr || out == nullptr) {
        return 0;
    }
    WIN32_FIND_DATAA data;
    if (FindNextFileA(static_cast<HANDLE>(search), &data) == 0) {
        return 0;
    }
    Fill(out, data);
    return 1;
}

void FindClose(void* search) {
    if (search != nullptr) {
        ::FindClose(static_cast<HANDLE>(search));
    }
}

// ---- current directory -----------------------------------------------------------------------

int SetCurrentDir(const char* path) {
    if (path == nullptr || path[0] == 0) {
        return 0;
    }
    return SetCurrentDirectoryA(path) != 0 ? 1 : 0;
}

int GetCurrentDir(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
    if (length == 0 || length >= size) {
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

// ---- text files --------------------------------------------------------------------------------

std::FILE* OpenForWriting(const char* path) {
    if (path == nullptr || path[0] == 0) {
        return nullptr;
    }
    return std::fopen(path, "wb");
}

int SyncToDisk(std::FILE* stream) {
    return _commit(_fileno(stream)) == 0 ? 1 : 0;
}

int ReplaceFile(const char* source, const char* target) {
    if (source == nullptr || target == nullptr || source[0] == 0 || target[0] == 0) {
        return 0;
    }
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 ? 1
                                                                                                : 0;
}

int RemoveFile(const char* path) {
    if (path == nullptr || path[0] == 0) {
        return 0;
    }
    return DeleteFileA(path) != 0 ? 1 : 0;
}

// ---- libraries
// -----------------------------------------------------------------------------------

void* LibraryOpen(const char* path) {
    if (path == nullptr || path[0] == 0) {
        std::snprintf(g_libraryError, sizeof g_libraryError, "empty library path");
        return nullptr;
    }
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        SetLastLibraryError("LoadLibraryA failed");
    }
    return reinterpret_cast<void*>(module);
}

void* LibrarySymbol(void* library, const char* name) {
    if (library == nullptr || name == nullptr) {
        std::snprintf(g_libraryError, sizeof g_libraryError, "no library or no symbol name");
        return nullptr;
    }
    FARPROC proc = GetProcAddress(static_cast<HMODULE>(library), name);
    if (proc == nullptr) {
        SetLastLibraryError("GetProcAddress failed");
        return nullptr;
    }
    // A function address handed on as a plain pointer, as dlsym does.
    void* symbol = nullptr;
    static_assert(sizeof symbol == sizeof proc);
    std::memcpy(&symbol, &proc, sizeof symbol);
    return symbol;
}

void LibraryClose(void* library) {
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

const char* LibraryError() {
    return g_libraryError;
}

} // namespace platform
