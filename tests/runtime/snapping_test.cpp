// The snapping rule on rectangles, without windows.
#include "runtime/snapping.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// RECT lives in the global namespace, so its operators must too.
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

// A 1280 × 1024 work area with one framework window T and the moving window C.
struct Desk {
    std::unique_ptr<SnapTargets> targets = std::make_unique<SnapTargets>();
    RECT moving = {900, 600, 1100, 700};

    Desk() { AddSnapWalls(targets.get(), 1280, 1024); }
    void Add(const RECT& r) { AddSnapTarget(targets.get(), r); }
    RECT Snap(RECT proposed) const {
        SnapRectangle(*targets, moving, &proposed);
        return proposed;
    }
};

const RECT T = {100, 100, 300, 300};

TEST(Snapping, SideBySideOnEitherSide) {
    Desk desk;
    desk.Add(T);
    // Left edge 5 pixels right of T's right edge; tops apart.
    EXPECT_EQ(desk.Snap({305, 150, 505, 250}), (RECT{300, 150, 500, 250}));
    // Right edge 7 pixels left of T's left edge (7 still catches, 8 does not).
    EXPECT_EQ(desk.Snap({-107, 150, 93, 250}), (RECT{-100, 150, 100, 250}));
    EXPECT_EQ(desk.Snap({-108, 150, 92, 250}), (RECT{-108, 150, 92, 250}));
    // No vertical overlap: no side contact.
    EXPECT_EQ(desk.Snap({305, 400, 505, 500}), (RECT{305, 400, 505, 500}));
}

TEST(Snapping, TopsAlignAfterASideContactOnlyWhenTheProposedRectangleOverlaps) {
    Desk desk;
    desk.Add(T);
    // Dragged 2 pixels into T, tops 4 apart: side by side with tops aligned.
    EXPECT_EQ(desk.Snap({298, 104, 498, 204}), (RECT{300, 100, 500, 200}));
    // Bottoms 3 apart.
    EXPECT_EQ(desk.Snap({298, 197, 498, 297}), (RECT{300, 200, 500, 300}));
    // A 5-pixel gap: the overlap test uses the proposed rectangle, not the shifted one, so the
    // tops stay apart.
    EXPECT_EQ(desk.Snap({305, 104, 505, 204}), (RECT{300, 104, 500, 204}));
}

TEST(Snapping, StackedThenEdgesAlign) {
    Desk desk;
    desk.Add(T);
    // Top 3 below T's bottom, no vertical overlap: stacked only.
    EXPECT_EQ(desk.Snap({150, 303, 350, 403}), (RECT{150, 300, 350, 400}));
    // Top 2 above T's bottom and left edges 4 apart: stacked, left edges aligned.
    EXPECT_EQ(desk.Snap({104, 298, 304, 398}), (RECT{100, 300, 300, 400}));
    // Right edges 6 apart.
    EXPECT_EQ(desk.Snap({94, 298, 294, 398}), (RECT{100, 300, 300, 400}));
    // Bottom close to T's top: stacked above.
    EXPECT_EQ(desk.Snap({150, -5, 350, 95}), (RECT{150, 0, 350, 100}));
}

TEST(Snapping, WallsHoldTheWorkArea) {
    Desk desk;
    EXPECT_EQ(desk.Snap({5, 500, 205, 600}), (RECT{0, 500, 200, 600}));
    EXPECT_EQ(desk.Snap({-6, 500, 194, 600}), (RECT{0, 500, 200, 600}));
    EXPECT_EQ(desk.Snap({1075, 500, 1275, 600}), (RECT{1080, 500, 1280, 600}));
    EXPECT_EQ(desk.Snap({500, 3, 700, 103}), (RECT{500, 0, 700, 100}));
    EXPECT_EQ(desk.Snap({500, 920, 700, 1020}), (RECT{500, 924, 700, 1024}));
    // Corner: both axes, each once.
    EXPECT_EQ(desk.Snap({4, 920, 204, 1020}), (RECT{0, 924, 200, 1024}));
    // Far from everything.
    EXPECT_EQ(desk.Snap({500, 500, 700, 600}), (RECT{500, 500, 700, 600}));
}

TEST(Snapping, TheMovingWindowIsNotItsOwnTarget) {
    Desk desk;
    desk.Add(desk.moving);
    RECT p = {903, 600, 1103, 700};
    EXPECT_EQ(desk.Snap(p), p);
}

TEST(Snapping, EachAxisShiftsOnceAndTheFirstTargetInOrderWins) {
    Desk desk;
    desk.Add({100, 100, 302, 300});
    desk.Add(T);
    EXPECT_EQ(desk.Snap({305, 150, 505, 250}), (RECT{302, 150, 502, 250}));
    Desk other;
    other.Add(T);
    other.Add({100, 100, 302, 300});
    EXPECT_EQ(other.Snap({305, 150, 505, 250}), (RECT{300, 150, 500, 250}));
}

TEST(Snapping, TheListNeverOverflows) {
    auto targets = std::make_unique<SnapTargets>();
    for (int i = 0; i < QIV_SNAP_TARGETS; ++i) {
        ASSERT_TRUE(AddSnapTarget(targets.get(), RECT{i, i, i + 1, i + 1}));
    }
    EXPECT_FALSE(AddSnapTarget(targets.get(), RECT{1, 2, 3, 4}));
    EXPECT_EQ(targets->count, QIV_SNAP_TARGETS);
    EXPECT_EQ(targets->right[QIV_SNAP_TARGETS - 1], QIV_SNAP_TARGETS);
}

} // namespace
