// Long random sequences of package and user operations, each seed in its own
// process; together about 100,000 steps under the sanitizers in CI. Any
// seed and length runs locally with tvx-random-ops, which also shrinks a
// failing sequence to paste into RegressionSequenceTest.cpp.
#include "tests/randomops/engine/RandomOps.h"

#include <gtest/gtest.h>

namespace {

using namespace tvx::randomops;

constexpr std::size_t kStepsPerSeed = 25000;

void ExpectClean(std::uint64_t seed)
{
    RunResult result = Run(Generate(seed, kStepsPerSeed));
    EXPECT_TRUE(result.Ok) << "seed " << seed << ", step " << result.FailedStep << " ("
                           << OpName(Generate(seed, result.FailedStep + 1).back().Kind) << "): " << result.Check << ": "
                           << result.Message << "\nshrink it with: tvx-random-ops --seed " << seed << " --ops "
                           << result.FailedStep + 1;
    EXPECT_EQ(result.StepsRun, result.Ok ? kStepsPerSeed : result.FailedStep);
}

// Catches whatever a long run of operations in an unplanned order breaks:
// the menu tree, the wrapper lists, the toolbars, reference counts, bitmap
// handles, or memory (under the sanitizers).
TEST(RandomSequence, Seed1) { ExpectClean(1); }
TEST(RandomSequence, Seed2) { ExpectClean(2); }
TEST(RandomSequence, Seed3) { ExpectClean(3); }
TEST(RandomSequence, Seed4) { ExpectClean(4); }

// Catches a generator whose sequences depend on the platform or library
// (a seed must name the same steps everywhere, or a reported seed
// reproduces nothing), and steps that do not read back as printed.
TEST(RandomSequence, SeedGivesTheSameStepsEverywhere)
{
    std::vector<Op> ops = Generate(42, 3);
    const std::vector<std::string> expected = {
        "{OpKind::ClickButton, 2744618937u, 3230439039u, 585286719u}",
        "{OpKind::CallDocumentWindow, 404020322u, 2467760665u, 1601540474u}",
        "{OpKind::SetMenuItemProperty, 1676200672u, 53183597u, 2249298377u}",
    };
    ASSERT_EQ(ops.size(), expected.size());
    std::string text;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        EXPECT_EQ(OpSource(ops[i]), expected[i]);
        text += OpSource(ops[i]) + ",\n";
    }
    std::vector<Op> again;
    std::string error;
    ASSERT_TRUE(ParseOps(text, again, error)) << error;
    ASSERT_EQ(again.size(), ops.size());
    for (std::size_t i = 0; i < ops.size(); ++i)
        EXPECT_EQ(OpSource(again[i]), expected[i]);
}

} // namespace
