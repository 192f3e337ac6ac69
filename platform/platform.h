// The platform layer: the only code that talks to the operating system. Everything above it is
// written once; this header is implemented by a Win32 backend (platform_win32.cpp) and a POSIX
// backend (platform_posix.cpp), and both pass the same table of tests.
//
// Texts are NUL-terminated byte strings in the active multibyte code page. Sizes are whole
// buffer sizes, terminator included. Nothing here allocates from the plug-in's MEM service.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// ---- multibyte code page -------------------------------------------------------------------
// Code page 0 means the single-byte default. On POSIX our own model knows the single-byte
// default and the double-byte code pages 932, 936, 949 and 950. On Windows the C runtime's
// multibyte code page is set (_setmbcp). Returns 1 when the code page was made active.
int SetCodePage(int codePage);
int ActiveCodePage();

// 1 when `byte` starts a double-byte character in the active code page.
int IsLeadByte(unsigned char byte);

// Bounded multibyte copy: copies characters of `text` while they fit in size - 1 bytes, never
// splitting a double-byte character, then fills the rest of all `size` bytes with zeros.
// Nothing is written when size is 0. A lead byte followed by the terminator counts as one
// (incomplete) character and is dropped.
void MbCopy(char* buffer, const char* text, size_t size);

// Byte length of the longest prefix of `text` of at most `limit` bytes that ends on a
// character boundary.
size_t MbFitLength(const char* text, size_t limit);

// The code page's comparison: character by character, a double-byte character compared as one
// 16-bit value (lead byte high), values unsigned, the shorter text less. Returns <0, 0, >0.
int MbCompare(const char* a, const char* b);
// The same ignoring the case of ASCII letters (single-byte characters below 0x80).
int MbCompareNoCase(const char* a, const char* b);

// ---- wildcard directory search ---------------------------------------------------------------
constexpr uint32_t kAttributeDirectory = 0x10;

struct FindData {
    char name[260];      // bare name, no directory part
    uint32_t attributes; // kAttributeDirectory for directories
};

// `pattern` is a Windows-style pattern ("*.MSN", "dir\\*.plt"); `*` and `?` match ignoring
// case as Windows does, `\` and `/` both separate directories. Returns a search handle and the
// first entry, or none when the search cannot start or nothing matches.
void* FindFirst(const char* pattern, FindData* out);
int FindNext(void* search, FindData* out); // 1 with the next entry, 0 at the end
void FindClose(void* search);

// ---- current directory -----------------------------------------------------------------------
int SetCurrentDir(const char* path); // `\` accepted as a separator; 1 on success
int GetCurrentDir(char* buffer, size_t size);

// ---- text files with CRLF line ends ------------------------------------------------------
// Lines are written with "\n"; every "\n" reaches the disk as carriage return and line feed on
// both platforms, so the bytes are identical. Every call reports failure (0) instead of hiding
// it: a failed write, a failed flush or a failed close.
struct TextFile;
TextFile* TextFileCreate(const char* path); // replaces any file; none when it cannot be opened
int TextFileWrite(TextFile* file, const char* text, size_t length);
int TextFileClose(TextFile* file); // 1 when everything written reached the file
// Replaces `target` by `source` in one step (rename over an existing file). 1 on success.
int ReplaceFile(const char* source, const char* target);
int RemoveFile(const char* path);

// ---- plug-in libraries -----------------------------------------------------------------------
void* LibraryOpen(const char* path);
void* LibrarySymbol(void* library, const char* name);
void LibraryClose(void* library);
// Text of the last library error, for messages; never none.
const char* LibraryError();

} // namespace platform
