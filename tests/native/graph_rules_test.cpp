// The graph's arithmetic: scale, groups, curve points, readout window, label
// layout, minimum size and cursor mapping.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "../../graph/graph_rules.h"

namespace {

TestResult MakeTest(uint32_t blocks, std::vector<BlockSample> &samples, uint32_t writeMs = 10,
                uint32_t readMs = 5)
{
    samples.assign(blocks, BlockSample{readMs, writeMs});
    TestResult r = {};
    r.tested = 1;
    r.blockSizeKB = 96;
    r.blockCount = blocks;
    r.shortestBlockMs = 2;
    r.samples = blocks ? samples.data() : nullptr;
    return r;
}

TEST(Graph, ScaleOfTheTest)
{
    const struct { uint32_t shortest, yMax; } ys[] = {
        {0, 10000}, {2, 50000}, {4, 25000}, {96 * 1000 / 30000, 32500}, {96000, 2500},
        {96001, 2500}};  // a block slower than 96 s still gets the lowest scale
    for (const auto &c : ys)
        EXPECT_EQ(GraphYMax(96, c.shortest), c.yMax) << c.shortest;
    EXPECT_EQ(GraphYMax(30000, 1000), 30000u);
    EXPECT_EQ(GraphYMax(30001, 1000), 32500u);

    const struct { uint32_t blocks, xMaxKB, xRange, xScale; } xs[] = {
        {99, 10000, 10000, 1},        {1067, 100000, 10000, 10},   {21334, 2050000, 2050, 1000},
        {214, 20000, 2000, 10},       {1146, 110000, 1100, 100},   {53, 10000, 10000, 1},
        {52, 10000, 10000, 1},        // under 5000 kB: the shortest axis, not none
        {0, 10000, 10000, 1},
    };
    for (const auto &c : xs) {
        uint32_t xMax = GraphXMaxKB(c.blocks, 96), range, scale;
        EXPECT_EQ(xMax, c.xMaxKB) << c.blocks;
        ReduceGraphRange(xMax, &range, &scale);
        EXPECT_EQ(range, c.xRange) << c.blocks;
        EXPECT_EQ(scale, c.xScale) << c.blocks;
    }
    EXPECT_EQ(GraphXMaxKB(1, 105000), 100000u) << "an excess of exactly 5000 goes down";
    EXPECT_EQ(GraphXMaxKB(1, 105001), 110000u);

    TestResults[3].blockSizeKB = 96;
    TestResults[3].blockCount = 99;
    TestResults[3].shortestBlockMs = 4;
    uint32_t yMax = 0, xMax = 0;
    EXPECT_EQ(ComputeGraphScale(3, &yMax, nullptr), 1);
    EXPECT_EQ(yMax, 25000u);
    EXPECT_EQ(ComputeGraphScale(3, nullptr, &xMax), 1);
    EXPECT_EQ(xMax, 10000u);
    memset(&TestResults[3], 0, sizeof TestResults[3]);
}

TEST(Graph, GroupsAndTheirRates)
{
    EXPECT_EQ(GraphGroupSize(99), 1u);
    EXPECT_EQ(GraphGroupSize(599), 1u);
    EXPECT_EQ(GraphGroupSize(600), 2u);
    EXPECT_EQ(GraphGroupSize(21334), 71u);
    EXPECT_EQ(GraphGroupSize(0), 1u);
    const BlockSample s[3] = {{1, 10}, {2, 12}, {3, 8}};
    EXPECT_EQ(GroupRate(s, 0, 3, 96, 1), 9600u);
    EXPECT_EQ(GroupRate(s, 0, 3, 96, 0), 96u * 3 * 1000 / 6);
    const BlockSample zero[2] = {{0, 0}, {0, 0}};
    EXPECT_EQ(GroupRate(zero, 0, 2, 96, 1), 192000u) << "no time counts as 1 ms";
}

TEST(Graph, CurvePoints)
{
    std::vector<BlockSample> samples;
    CurvePoint points[GRAPH_MAX_POINTS];
    uint32_t lastX = 7;

    TestResult r = MakeTest(99, samples);
    int n = GraphCurve(&r, 1, points, GRAPH_MAX_POINTS, &lastX);
    ASSERT_EQ(n, 99) << "blocks 0 to 97, the first point twice";
    EXPECT_EQ(points[0].x, 0u);
    EXPECT_EQ(points[1].x, 0u);
    EXPECT_EQ(points[1].rate, 9600u);
    EXPECT_EQ(points[98].x, 97u * 96);
    EXPECT_EQ(lastX, 97u * 96);
    EXPECT_EQ(GraphGroupWidth(&r), 96u);

    // 1067 blocks, g 3, scale 10: the x maximum (100000 kB, 10000 units) lies
    // inside the data, so the curve ends with the first point past it.
    r = MakeTest(1067, samples);
    n = GraphCurve(&r, 0, points, GRAPH_MAX_POINTS, &lastX);
    EXPECT_EQ(lastX, 1044u * 96 / 10);
    EXPECT_EQ(points[n - 2].x, 1041u * 96 / 10);
    EXPECT_EQ(points[n - 1].rate, 96u * 3 * 1000 / 15);
    EXPECT_EQ(GraphGroupWidth(&r), 96u * 3 / 10);

    r = MakeTest(900, samples);  // g 3, axis 90000 kB: groups up to 894, the one at 897 left out
    n = GraphCurve(&r, 1, points, GRAPH_MAX_POINTS, &lastX);
    EXPECT_EQ(n, 299 + 1) << "299 groups, the first point twice";
    EXPECT_EQ(lastX, 894u * 96 / 10);

    for (uint32_t blocks : {0u, 1u}) {
        r = MakeTest(blocks, samples);
        EXPECT_EQ(GraphCurve(&r, 1, points, GRAPH_MAX_POINTS, &lastX), 0) << blocks;
    }
    r = MakeTest(99, samples);
    r.samples = nullptr;  // freed by a clean-up while the slot still counts as tested
    EXPECT_EQ(GraphCurve(&r, 1, points, GRAPH_MAX_POINTS, &lastX), 0);
    r = MakeTest(99, samples);
    EXPECT_EQ(GraphCurve(&r, 1, points, 10, &lastX), 10) << "never past the capacity";
}

TEST(Graph, ReadoutWindow)
{
    std::vector<BlockSample> samples;
    uint32_t first = 99, count = 99;
    TestResult r = MakeTest(214, samples);
    const struct { uint32_t cursorKB, first; } cases[] = {
        {0, 0}, {10000, 104}, {96 * 212, 212}, {96 * 213, 212}, {4000000000u, 212}};
    for (const auto &c : cases) {
        ReadoutWindow(&r, c.cursorKB, &first, &count);
        EXPECT_EQ(first, c.first) << c.cursorKB;
        EXPECT_EQ(count, 1u);
    }
    r = MakeTest(21334, samples);  // g 71: never past block 21334 - 71 - 1
    ReadoutWindow(&r, 4000000000u, &first, &count);
    EXPECT_EQ(first, 21334u - 72);
    EXPECT_EQ(count, 71u);
    for (uint32_t blocks : {0u, 1u}) {
        r = MakeTest(blocks, samples);
        ReadoutWindow(&r, 5000, &first, &count);
        EXPECT_EQ(first, 0u);
        EXPECT_EQ(count, blocks) << "only what there is";
    }
}

TEST(Graph, MarginsLayoutAndMinimumSize)
{
    GraphMargins m = GraphMarginsFor(13);
    EXPECT_EQ(m.left, 10);
    EXPECT_EQ(m.right, 49);
    EXPECT_EQ(m.top, 19);
    EXPECT_EQ(m.bottom, 19);
    m = GraphMarginsFor(12);
    EXPECT_EQ(m.right, 46);
    EXPECT_EQ(m.top, 18);

    LabelBox b[GRAPH_LABELS];
    LayoutGraphLabels(&m, 584, 262, b);  // h 12: k * h / 12 is k
    const LabelBox want[GRAPH_LABELS] = {
        {10, 2, 30, 12},  {42, 2, 45, 12},  {10 + (584 - 46 - 10 - 30) / 2, 247, 30, 12},
        {514, 247, 20, 12}, {506, 230, 30, 12}, {539, 230, 46, 12}};
    for (int i = 0; i < GRAPH_LABELS; i++) {
        EXPECT_EQ(b[i].x, want[i].x) << i;
        EXPECT_EQ(b[i].y, want[i].y) << i;
        EXPECT_EQ(b[i].width, want[i].width) << i;
        EXPECT_EQ(b[i].height, want[i].height) << i;
    }
    m = GraphMarginsFor(13);
    LayoutGraphLabels(&m, 584, 262, b);
    EXPECT_EQ(b[0].width, 32) << "30 x 13 / 12 truncates";
    EXPECT_EQ(b[2].x, 10 + (584 - 49 - 10 - 32) / 2);

    struct Case {
        int edge;
        int32_t rect[4], expected[4];
    } cases[] = {
        {SIZE_EDGE_LEFT, {100, 100, 200, 150}, {-159, 100, 200, 150}},
        {SIZE_EDGE_RIGHT, {100, 100, 200, 150}, {100, 100, 459, 150}},
        {SIZE_EDGE_TOP, {100, 100, 200, 150}, {100, -38, 200, 150}},
        {SIZE_EDGE_BOTTOM, {100, 100, 200, 150}, {100, 100, 200, 288}},
        {SIZE_EDGE_TOPLEFT, {100, 100, 200, 150}, {-159, -38, 200, 150}},
        {SIZE_EDGE_BOTTOMRIGHT, {100, 100, 200, 150}, {100, 100, 459, 288}},
        {SIZE_EDGE_TOPRIGHT, {0, 0, 400, 100}, {0, -88, 400, 100}},
        {SIZE_EDGE_BOTTOMLEFT, {0, 0, 100, 400}, {-259, 0, 100, 400}},
        {SIZE_EDGE_RIGHT, {0, 0, 359, 188}, {0, 0, 359, 188}},  // at the minimum: unchanged
    };
    for (const Case &c : cases) {
        int32_t r[4] = {c.rect[0], c.rect[1], c.rect[2], c.rect[3]};
        KeepGraphMinimum(&m, c.edge, &r[0], &r[1], &r[2], &r[3]);
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(r[i], c.expected[i]) << "edge " << c.edge << " side " << i;
    }
}

TEST(Graph, CursorMapping)
{
    GraphMargins m = GraphMarginsFor(12);
    EXPECT_EQ(CursorKBAt(260, &m, 500, 10, 2000), 10000u);
    EXPECT_EQ(CursorXOf(10000, &m, 500, 10, 2000), 260);
    EXPECT_EQ(CursorXOf(10000, &m, 500, 10, 2000 / 2 * 2), 260);
    EXPECT_EQ(CursorKBAt(10, &m, 500, 10, 2000), 0u);
    EXPECT_EQ(CursorKBAt(3, &m, 500, 10, 2000), 0u) << "left margin: the start of the file";
    EXPECT_EQ(CursorKBAt(-20, &m, 500, 10, 2000), 0u);
    EXPECT_EQ(CursorKBAt(560, &m, 500, 10, 2000), 22000u) << "past the axis, past the maximum";
    EXPECT_EQ(CursorKBAt(200, &m, 0, 10, 2000), 0u);
    EXPECT_EQ(CursorXOf(5000, &m, 500, 0, 0), 10);
    // A 2000 MB test in a window 2400 pixels wide: (x - left) x 2050000 passes 2^32.
    EXPECT_EQ(CursorKBAt(2310, &m, 2300, 1000, 2050), 2050000u);
    EXPECT_EQ(CursorXOf(2050000, &m, 2300, 1000, 2050), 2310);
    EXPECT_EQ(CursorXOf(1025000, &m, 2300, 1000, 2050), 1160);
}

}  // namespace
