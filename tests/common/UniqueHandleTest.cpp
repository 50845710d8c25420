// The handle owner: each handle is closed once, by the traits it came with, whatever moves it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "UniqueHandle.h"

namespace pelmora {
namespace {

std::vector<std::string> closed;

// Closes "into" a context, as a device context goes back to its window.
struct RecordingTraits {
    using Handle = int;
    std::string context;
    void Close(int handle) const { closed.push_back(context + ":" + std::to_string(handle)); }
};
using Owner = UniqueHandle<RecordingTraits>;

TEST(UniqueHandle, ClosesEachHandleOnceWithTheTraitsItCameWith) {
    closed.clear();
    {
        Owner none;
        EXPECT_FALSE(none);
        Owner a(1, {"a"});
        EXPECT_TRUE(a);
        EXPECT_EQ(a.get(), 1);

        a.reset(2);  // closes 1, keeps its traits for 2
        EXPECT_EQ(closed, (std::vector<std::string>{"a:1"}));

        Owner b(std::move(a));  // the handle and its traits move; nothing closes
        EXPECT_FALSE(a);
        EXPECT_EQ(closed.size(), 1u);

        Owner c(3, {"c"});
        c = std::move(b);  // c's own handle goes first, into c's context
        EXPECT_EQ(closed, (std::vector<std::string>{"a:1", "c:3"}));
        EXPECT_EQ(c.get(), 2);

        Owner d(4, {"d"});
        EXPECT_EQ(d.release(), 4);  // given away: never closed here
        EXPECT_FALSE(d);
    }
    // c held 2 in a's context; nothing else was left.
    EXPECT_EQ(closed, (std::vector<std::string>{"a:1", "c:3", "a:2"}));
}

}  // namespace
}  // namespace pelmora
