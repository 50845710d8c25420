// The scope guard: its action runs once, when the scope ends, also when an exception ends it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ScopeExit.h"

namespace pelmora {
namespace {

TEST(ScopeExitTest, RunsOnceWhenTheScopeEndsAndNotBefore) {
    int runs = 0;
    {
        const ScopeExit guard([&] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);

    bool flag = false;
    EXPECT_THROW(
        {
            flag = true;
            const ScopeExit reset([&] { flag = false; });
            throw std::runtime_error("leaves the scope");
        },
        std::runtime_error);
    EXPECT_FALSE(flag);
}

}  // namespace
}  // namespace pelmora
