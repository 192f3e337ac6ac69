// Real write failures for tests: runs an action in a child process whose files cannot grow beyond
// a given size, the way a full disk stops a write part-way. Only this helper touches the OS.
#pragma once

// Returns the action's result (0 to 255) as the child's exit status, or -1 when this platform
// cannot run it (no fork on Windows) or the child did not end normally.
int RunWithFileSizeLimit(long limitBytes, int (*action)(void* context), void* context);

// 1 when RunWithFileSizeLimit works here.
int FileSizeLimitSupported();
