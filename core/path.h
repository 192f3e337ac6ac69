// Path and file-name functions for Windows-style paths (backslash separators; the extension is
// what follows the last "." after the last backslash). Same rules as text.h: null and empty alike,
// sizes include the terminator, results cut at the size and never written beyond it.
#pragma once

#include <cstddef>

struct StringPool;

int ChangeDirectory(const char* path);
int CountFiles(const char* pattern);
void ListFiles(StringPool* pool, const char* pattern, int stripFlag);
void StripExtension(const char* name, char* buffer, size_t size);
void AppendPathComponent(char* buffer, size_t size, const char* component);
// Adds "." (unless the extension brings its own) and the extension; an empty extension adds
// nothing at all.
void AppendExtension(char* buffer, size_t size, const char* extension);
void ResolvePath(const char* base, const char* relative, char* buffer, size_t size);
void SetDefaultExtension(const char* name, const char* extension, char* buffer, size_t size);
void CombinePath(const char* base, const char* relative, const char* extension, char* buffer,
                 size_t size);
