// Runs one test under a code page and restores the single-byte default afterwards, so a failed
// assertion never leaves the rest of the program in a double-byte code page.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"

class ScopedCodePage {
public:
    explicit ScopedCodePage(int codePage) { ok_ = platform::SetCodePage(codePage) == 1; }
    ~ScopedCodePage() { platform::SetCodePage(0); }
    ScopedCodePage(const ScopedCodePage&) = delete;
    ScopedCodePage& operator=(const ScopedCodePage&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};
