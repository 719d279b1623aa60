// The performance graph's arithmetic: scale, groups, curve points, readout window,
// label layout, minimum size and cursor mapping.
#include <gtest/gtest.h>

#include <vector>

#include "../../graph/graph_rules.h"

namespace {

struct Blocks {
    std::vector<BlockSample> samples;
    TestResult result = {};
    explicit Blocks(uint32_t blocks, uint32_t writeMs = 20, uint32_t readMs = 10) : samples(blocks + 1)
    {
        for (BlockSample &s : samples)
            s.writeMs = writeMs, s.readMs = readMs;
        result.blockSizeKB = 96;
        result.blockCount = blocks;
        result.samples = samples.data();
    }
};

TEST(GraphRules, ScaleAndReducedRange)
{
    const uint32_t y[][2] = {{0, 10000}, {2, 50000}, {4, 25000}, {32, 5000}, {96000, 2500}};
    for (auto c : y)
        EXPECT_EQ(GraphYMax(96, c[0]), c[1]) << "shortest " << c[0];
    EXPECT_EQ(GraphYMax(30, 1), 30000u) << "a multiple already";
    EXPECT_EQ(GraphYMax(30001, 1000), 32500u);
    const uint32_t x[][2] = {{99, 10000}, {1067, 100000}, {1094, 110000}, {21334, 2050000}, {2, 10000}};
    for (auto c : x)
        EXPECT_EQ(GraphXMaxKB(c[0], 96), c[1]) << c[0] << " blocks";
    EXPECT_EQ(GraphXMaxKB(1, 105000), 100000u) << "exactly 5000 over goes down";
    EXPECT_EQ(GraphXMaxKB(1, 105001), 110000u);
    const uint32_t ranges[][3] = {{10000, 10000, 1}, {20000, 2000, 10}, {100000, 10000, 10},
                                  {110000, 1100, 100}, {2050000, 2050, 1000}};
    for (auto r : ranges) {
        uint32_t range = 0, scale = 0;
        ReduceGraphRange(r[0], &range, &scale);
        EXPECT_EQ(range, r[1]) << r[0];
        EXPECT_EQ(scale, r[2]) << r[0];
    }
    const uint32_t groups[][2] = {{99, 1}, {599, 1}, {600, 2}, {1067, 3}, {21334, 71}};
    for (auto g : groups)
        EXPECT_EQ(GraphGroupSize(g[0]), g[1]) << g[0];
}

TEST(GraphRules, CurvesAndReadout)
{
    BlockSample three[] = {{0, 10}, {0, 12}, {0, 8}};
    EXPECT_EQ(GroupRate(three, 0, 3, 96, 1), 9600u);
    EXPECT_EQ(GroupRate(three, 0, 3, 96, 0), 288000u) << "a sum of 0 counts as 1 ms";
    EXPECT_EQ(GroupRate(three, 1, 1, 96, 1), 8000u);

    CurvePoint points[GRAPH_MAX_POINTS];
    uint32_t lastX = 0;
    Blocks short99(99, 20, 10);
    short99.samples[5].readMs = 40;
    int n = GraphCurve(&short99.result, 1, points, GRAPH_MAX_POINTS, &lastX);
    ASSERT_EQ(n, 99) << "blocks 0 to 97, the first point twice";
    EXPECT_EQ(points[0].x, 0u);
    EXPECT_EQ(points[1].x, 0u);
    EXPECT_EQ(points[98].x, 97u * 96);
    EXPECT_EQ(lastX, 97u * 96);
    EXPECT_EQ(points[1].rate, 4800u);
    GraphCurve(&short99.result, 0, points, GRAPH_MAX_POINTS, &lastX);
    EXPECT_EQ(points[6].rate, 2400u) << "read curve from the read times, block 5 at x 480";
    EXPECT_EQ(points[6].x, 480u);
    EXPECT_EQ(GraphGroupWidth(&short99.result), 96u);

    Blocks whole900(900);
    n = GraphCurve(&whole900.result, 1, points, GRAPH_MAX_POINTS, &lastX);
    EXPECT_EQ(n, 300) << "the last whole group is left out";
    EXPECT_EQ(lastX, 894u * 96 / 10);
    EXPECT_EQ(GraphGroupWidth(&whole900.result), 28u);
    Blocks beyond1067(1067);
    n = GraphCurve(&beyond1067.result, 1, points, GRAPH_MAX_POINTS, &lastX);
    EXPECT_EQ(n, 350) << "one point past the end of the axis, no more";
    EXPECT_EQ(lastX, 10022u);

    struct Window {
        uint32_t blocks, cursorKB, first, count;
    } windows[] = {{1067, 10000, 104, 3}, {1067, 0, 0, 3},    {1067, 999999, 1063, 3},
                   {214, 20544, 212, 1},  {2, 5000, 0, 1},    {1, 0, 0, 1}};
    for (const Window &w : windows) {
        Blocks t(w.blocks);
        uint32_t first = 99, count = 99;
        ReadoutWindow(&t.result, w.cursorKB, &first, &count);
        EXPECT_EQ(first, w.first) << w.blocks << " blocks, cursor " << w.cursorKB;
        EXPECT_EQ(count, w.count) << w.blocks << " blocks, cursor " << w.cursorKB;
    }
}

TEST(GraphRules, LayoutMinimumAndCursor)
{
    GraphMargins m = GraphMarginsFor(13);
    EXPECT_EQ(m.left, 10);
    EXPECT_EQ(m.right, 49);
    EXPECT_EQ(m.top, 19);
    EXPECT_EQ(m.bottom, 19);
    LabelBox boxes[GRAPH_LABELS];
    LayoutGraphLabels(&m, 592, 266, boxes);
    const LabelBox expected[GRAPH_LABELS] = {
        {10, 2, 32, 13},    // 190
        {44, 2, 48, 13},    // 193
        {260, 250, 32, 13}, // 192
        {517, 250, 21, 13}, // 191
        {509, 232, 32, 13}, // 194
        {544, 232, 49, 13}, // 195
    };
    for (int i = 0; i < GRAPH_LABELS; i++) {
        EXPECT_EQ(boxes[i].x, expected[i].x) << i;
        EXPECT_EQ(boxes[i].y, expected[i].y) << i;
        EXPECT_EQ(boxes[i].width, expected[i].width) << i;
        EXPECT_EQ(boxes[i].height, expected[i].height) << i;
    }
    struct Drag {
        int edge;
        int32_t left, top, right, bottom;
    } drags[] = {{SIZE_EDGE_LEFT, -159, 100, 200, 200},    {SIZE_EDGE_RIGHT, 100, 100, 459, 200},
                 {SIZE_EDGE_TOP, 100, 12, 200, 200},       {SIZE_EDGE_BOTTOM, 100, 100, 200, 288},
                 {SIZE_EDGE_TOPLEFT, -159, 12, 200, 200},  {SIZE_EDGE_TOPRIGHT, 100, 12, 459, 200},
                 {SIZE_EDGE_BOTTOMLEFT, -159, 100, 200, 288}, {SIZE_EDGE_BOTTOMRIGHT, 100, 100, 459, 288}};
    for (const Drag &d : drags) {
        int32_t left = 100, top = 100, right = 200, bottom = 200;
        KeepGraphMinimum(&m, d.edge, &left, &top, &right, &bottom);
        EXPECT_EQ(left, d.left) << d.edge;
        EXPECT_EQ(top, d.top) << d.edge;
        EXPECT_EQ(right, d.right) << d.edge;
        EXPECT_EQ(bottom, d.bottom) << d.edge;
    }
    int32_t left = 0, top = 0, right = 359, bottom = 188;
    KeepGraphMinimum(&m, SIZE_EDGE_BOTTOMRIGHT, &left, &top, &right, &bottom);
    EXPECT_EQ(right * 1000 + bottom, 359 * 1000 + 188) << "the minimum itself stays";
    EXPECT_EQ(CursorKBAt(260, &m, 500, 10, 2000), 10000u);
    EXPECT_EQ(CursorXOf(10000, &m, 500, 10, 2000), 260);
    EXPECT_EQ(CursorKBAt(5, &m, 500, 10, 2000), 0u) << "left of the axis";
    EXPECT_EQ(CursorKBAt(560, &m, 500, 10, 2000), 22000u) << "beyond the end of the axis";
    EXPECT_EQ(CursorXOf(50000, &m, 500, 10, 10000), 260) << "the middle of a 100000 kB axis";
    EXPECT_EQ(CursorKBAt(300, &m, 0, 10, 2000), 0u) << "no plot";
}

}  // namespace
