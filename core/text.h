// Text functions over NUL-terminated byte strings of the active multibyte code page.
//
// Null and empty texts are treated alike. A size is the whole destination size, terminator
// included; every bounded result is NUL-terminated within it, and a bounded copy or append never
// cuts a double-byte character in half (it stops before the lead byte). Functions that return text
// return the destination they were given. No function allocates or reports errors.
#pragma once

#include <cstddef>

int IsEmptyText(const char* text);
char* ClearText(char* buffer);
// 1 when both are non-empty and equal; caseFlag 1 compares exactly, 0 ignores case.
int TextEquals(const char* a, const char* b, int caseFlag);
// Bounded copy; all `size` bytes of the buffer are written (zero-filled after the text).
char* CopyText(char* buffer, const char* text, size_t size);
// Bounded append; nothing is written beyond `size` bytes.
char* AppendText(char* buffer, const char* text, size_t size);
// ASCII letters mapped in place; bytes from 0x80 up (and double-byte characters) unchanged.
char* UpperText(char* text);
char* LowerText(char* text);
// The six ASCII white-space characters removed in place. A text is written only when
// something is removed, so trimming a read-only text that has nothing to trim is safe.
char* TrimLeft(char* text);
char* TrimRight(char* text);
char* TrimText(char* text);
