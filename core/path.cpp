#include "core/path.h"

#include <cstring>

#include "core/string_pool.h"
#include "core/text.h"
#include "platform/platform.h"

namespace {

constexpr size_t kWorkSize = 260;

void MakeEmpty(char* buffer, size_t size) {
    if (buffer != nullptr && size > 0) {
        buffer[0] = 0;
    }
}

size_t CharStep(const char* p) {
    return (platform::IsLeadByte(static_cast<unsigned char>(p[0])) != 0 && p[1] != 0) ? 2 : 1;
}

// The last single-byte `c` of `text`, walking by characters: in the double-byte code pages a
// trail byte can have the value of a backslash, and must never be taken for one.
const char* LastChar(const char* text, char c) {
    const char* found = nullptr;
    for (const char* p = text; *p != 0;) {
        const size_t step = CharStep(p);
        if (step == 1 && *p == c) {
            found = p;
        }
        p += step;
    }
    return found;
}

// The first single-byte `c` of `text`, by characters.
const char* FirstChar(const char* text, char c) {
    for (const char* p = text; *p != 0; p += CharStep(p)) {
        if (CharStep(p) == 1 && *p == c) {
            return p;
        }
    }
    return nullptr;
}

// The extension's dot: the last "." after the last backslash, or none.
const char* ExtensionDot(const char* text) {
    const char* slash = LastChar(text, '\\');
    return LastChar(slash != nullptr ? slash + 1 : text, '.');
}

bool EndsInBackslash(const char* text) {
    const char* last = nullptr;
    for (const char* p = text; *p != 0; p += CharStep(p)) {
        last = p;
    }
    return last != nullptr && CharStep(last) == 1 && *last == '\\';
}

// Shared by the two joiners: `separator` is written first when `wantSeparator` says so, then
// as much of `part` as fits. The text already in the buffer is never shortened.
void Join(char* buffer, size_t size, const char* separator, bool wantSeparator, const char* part) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const size_t length = strnlen(buffer, size);
    if (length >= size - 1) {
        buffer[size - 1] = 0;
        return;
    }
    if (wantSeparator) {
        AppendText(buffer, separator, size);
    }
    AppendText(buffer, part, size);
    buffer[size - 1] = 0;
}

void ApplyDefaultExtension(char* buffer, size_t size, const char* extension) {
    if (IsEmptyText(extension) == 0 && ExtensionDot(buffer) == nullptr) {
        AppendExtension(buffer, size, extension);
    }
}

} // namespace

int ChangeDirectory(const char* path) {
    if (IsEmptyText(path) != 0) {
        return 0;
    }
    return platform::SetCurrentDir(path);
}

int CountFiles(const char* pattern) {
    platform::FindData entry;
    void* search = platform::FindFirst(pattern, &entry);
    if (search == nullptr) {
        return 0;
    }
    int count = 0;
    do {
        if ((entry.attributes & platform::kAttributeDirectory) == 0) {
            ++count;
        }
    } while (platform::FindNext(search, &entry) != 0);
    platform::FindClose(search);
    return count;
}

void ListFiles(StringPool* pool, const char* pattern, int stripFlag) {
    if (pool == nullptr) {
        return;
    }
    platform::FindData entry;
    void* search = platform::FindFirst(pattern, &entry);
    if (search == nullptr) {
        return;
    }
    do {
        if ((entry.attributes & platform::kAttributeDirectory) != 0) {
            continue;
        }
        entry.name[sizeof entry.name - 1] = 0;
        if (stripFlag != 0) {
            char stripped[kWorkSize];
            StripExtension(entry.name, stripped, sizeof stripped);
            pool->AddString(stripped); // a name that does not fit is dropped
        } else {
            pool->AddString(entry.name);
        }
    } while (platform::FindNext(search, &entry) != 0);
    platform::FindClose(search);
}

void StripExtension(const char* name, char* buffer, size_t size) {
    if (IsEmptyText(name) != 0) {
        MakeEmpty(buffer, size);
        return;
    }
    if (CopyText(buffer, name, size) == nullptr || size == 0) {
        return;
    }
    const char* dot = ExtensionDot(buffer);
    if (dot != nullptr) {
        buffer[dot - buffer] = 0;
    }
}

void AppendPathComponent(char* buffer, size_t size, const char* component) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const bool separator = buffer[0] != 0 && !EndsInBackslash(buffer);
    Join(buffer, size, "\\", separator, component);
}

void AppendExtension(char* buffer, size_t size, const char* extension) {
    if (IsEmptyText(extension) != 0) {
        return; // an empty extension adds nothing, not even the dot
    }
    Join(buffer, size, ".", ExtensionDot(extension) == nullptr, extension);
}

void ResolvePath(const char* base, const char* relative, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    if (IsEmptyText(relative) != 0) {
        buffer[0] = 0;
        return;
    }
    const bool noBase = IsEmptyText(base) != 0;
    CopyText(buffer, noBase ? ".\\" : base, size);
    if (FirstChar(relative, '\\') == nullptr) {
        AppendPathComponent(buffer, size, relative);
        return;
    }
    if (noBase || FirstChar(relative, ':') != nullptr) {
        CopyText(buffer, relative, size);
        return;
    }
    // Only the leading "..", "." and empty components are resolved; the rest is joined as it is.
    char work[kWorkSize];
    CopyText(work, relative, sizeof work);
    const char* rest = work;
    for (;;) {
        const char* slash = FirstChar(rest, '\\');
        if (slash == nullptr) {
            break;
        }
        const size_t length = static_cast<size_t>(slash - rest);
        if (length == 2 && rest[0] == '.' && rest[1] == '.') {
            if (EndsInBackslash(buffer)) {
                buffer[std::strlen(buffer) - 1] = 0;
            }
            const char* cut = LastChar(buffer, '\\');
            buffer[cut != nullptr ? cut - buffer : 0] = 0;
            rest = slash + 1;
        } else if (length == 1 && rest[0] == '.') {
            rest = slash + 1;
        } else if (length == 0) {
            buffer[0] = 0;
            rest = slash + 1;
            break;
        } else {
            break;
        }
    }
    AppendPathComponent(buffer, size, rest);
}

void SetDefaultExtension(const char* name, const char* extension, char* buffer, size_t size) {
    if (IsEmptyText(name) != 0) {
        MakeEmpty(buffer, size);
        return;
    }
    if (CopyText(buffer, name, size) == nullptr || size == 0) {
        return;
    }
    ApplyDefaultExtension(buffer, size, extension);
}

void CombinePath(const char* base, const char* relative, const char* extension, char* buffer,
                 size_t size) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    if (IsEmptyText(relative) != 0) {
        buffer[0] = 0;
        return;
    }
    ResolvePath(base, relative, buffer, size);
    ApplyDefaultExtension(buffer, size, extension);
}
