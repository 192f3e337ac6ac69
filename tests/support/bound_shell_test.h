// A test fixture whose framework is bound to a fresh fake shell under the tag "TEST", and checked
// when the test ends: the unbinding succeeds and the shell saw no breach of the contract. Fixtures
// that need more call these SetUp and TearDown around their own steps.
#pragma once

#include <gtest/gtest.h>

#include "framework/binding.h"
#include "tests/support/fake_shell.h"

namespace fake {

class BoundShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        Binding() = BindingState{};
        BindShell("TEST", &shell);
    }
    void TearDown() override {
        EXPECT_EQ(UnbindShell("TEST"), 1);
        EXPECT_TRUE(shell.ContractProblems().empty()) << shell.journal.Dump();
    }

    FakeShell shell;
};

} // namespace fake
