// The guard at the edge of the platform's callbacks: an exception stops there, is traced with
// where it was stopped, and the call fails.

#include "base/CallbackGuard.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

TEST(CallbackGuard, AnExceptionFailsTheCallAndIsTracedWithWhereItStopped)
{
    struct Case {
        const char* name;
        std::function<long()> body;
        long result;
        const char* traced; // the end of the trace line; null: nothing traced
    };
    const Case cases[] = {
        {"a body that returns", [] { return 7L; }, 7, nullptr},
        {"a standard exception", []() -> long { throw std::runtime_error("disk gone"); }, -1,
         "procedure X: stopped by an exception (disk gone)\n"},
        {"out of memory", []() -> long { throw std::bad_alloc(); }, -1,
         "procedure X: stopped by an exception (std::bad_alloc)\n"},
        {"an exception of no standard kind", []() -> long { throw 42; }, -1,
         "procedure X: stopped by an exception of an unknown kind\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceCapture capture;
        EXPECT_EQ(GuardCallback("procedure X", -1L, c.body), c.result);
        if (!c.traced) {
            EXPECT_TRUE(capture.Lines().empty());
            continue;
        }
        ASSERT_EQ(capture.Lines().size(), 1u);
        const std::string& line = capture.Lines()[0];
        const std::string expected = c.traced;
        ASSERT_GE(line.size(), expected.size());
        EXPECT_EQ(line.substr(line.size() - expected.size()), expected);
    }
}
