// What each backend supplies to the code the two backends share (not part of the public layer).
#pragma once

#include <cstdio>

namespace platform {

// Opens `path` for writing in binary mode, replacing any file; none when it cannot be opened.
std::FILE* OpenForWriting(const char* path);
// Pushes what the stream has written down to the device. 1 on success.
int SyncToDisk(std::FILE* stream);

} // namespace platform
