#include "platform/process_object.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

struct Logged {
    explicit Logged(std::string name)
        : name(std::move(name))
    {
        g_log.push_back("+" + this->name);
    }
    ~Logged() { g_log.push_back("-" + name); }
    std::string name;
};

platform::ProcessObject<Logged> g_first;
platform::ProcessObject<Logged> g_second;

TEST(ProcessObject, BuiltWhenAskedAndTornDownInTheOrderGiven)
{
    g_log.clear();
    EXPECT_FALSE(g_first);
    EXPECT_EQ(g_first.get(), nullptr);
    {
        platform::ScopedProcessObject<Logged> first(g_first, "first");
        platform::ScopedProcessObject<Logged> second(g_second, "second");
        EXPECT_EQ(g_first->name, "first");
        EXPECT_EQ((*g_second).name, "second");
    }
    EXPECT_FALSE(g_first);
    EXPECT_FALSE(g_second);
    EXPECT_EQ(g_log, (std::vector<std::string> { "+first", "+second", "-second", "-first" }));
}

TEST(ProcessObject, AdoptsAnObjectBuiltElsewhere)
{
    g_log.clear();
    g_first.Adopt(std::make_unique<Logged>("adopted"));
    EXPECT_EQ(g_first->name, "adopted");
    g_first.Destroy();
    g_first.Destroy(); // a second tear-down is harmless
    EXPECT_EQ(g_log, (std::vector<std::string> { "+adopted", "-adopted" }));
}

} // namespace
