#include "framework/trace.h"

#include <cstdarg>
#include <cstdio>

#include "core/memory.h"

namespace {
TraceSink g_sink = nullptr;
void* g_context = nullptr;
} // namespace

void SetTraceSink(TraceSink sink, void* context) {
    g_sink = sink;
    g_context = context;
}

void Trace(const char* format, ...) {
    if (g_sink == nullptr || format == nullptr) {
        return;
    }
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    g_sink(message, g_context);
}
