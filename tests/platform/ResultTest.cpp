#include "platform/Result.h"

#include <gtest/gtest.h>

#include <variant>

namespace {
struct Placed {
    QString message;
    int line = 0;
};

Result<QString> Named(bool ok) { return ok ? Result<QString>(QStringLiteral("name")) : Failure{QStringLiteral("why")}; }
}  // namespace

// A value and a reason of the same type stay apart, and neither is taken for the other.
TEST(ResultTest, ValueAndReasonOfOneTypeStayApart)
{
    const Result<QString> named = Named(true);
    ASSERT_TRUE(named);
    EXPECT_EQ(named.value(), "name");
    EXPECT_THROW((void)named.error(), std::bad_variant_access);

    const Result<QString> refused = Named(false);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), "why");
    EXPECT_THROW((void)refused.value(), std::bad_variant_access);
}

// A failure is a failure whatever its reason says: an empty one (a cancelled question) too.
TEST(ResultTest, FailureWithoutWordsIsStillAFailure)
{
    EXPECT_TRUE(Result<void>());
    const Result<void> cancelled = Failure{QString()};
    ASSERT_FALSE(cancelled);
    EXPECT_TRUE(cancelled.error().isEmpty());

    const Result<int, Placed> placed = Failure{Placed{QStringLiteral("bad"), 3}};
    ASSERT_FALSE(placed);
    EXPECT_EQ(placed.error().line, 3);
    const Result<void, Placed> fine;
    EXPECT_TRUE(fine.ok());
}
