// The trace hook. Trace (core/memory.h) does nothing in normal builds; a test may install a sink
// to check the diagnostic messages. The sink receives the formatted message.
#pragma once

using TraceSink = void (*)(const char* message, void* context);
void SetTraceSink(TraceSink sink, void* context); // none restores the silent default
