// The performance graph's arithmetic: scale, groups, curve points, readout window,
// label layout, minimum size and cursor mapping.
#include <gtest/gtest.h>

#include "../../graph/graph_rules.h"
#include "text.h"

struct Blocks {
    std::vector<BlockSample> samples;
    TestResult result = {};
    explicit Blocks(uint32_t n) : samples(n + 1, BlockSample{10000, 20000}) { result.blockSizeKB = 96, result.blockCount = n, result.samples = samples.data(); }
};

TEST(GraphRules, ScaleGroupsAndRange)
{
    std::string out;
    for (auto y : {std::pair<uint32_t, uint32_t>{96, 0}, {96, 96000000}, {30, 1000},
                   {30001, 1000000}, {96, 92}})
        out += Text("%u ", GraphYMax(y.first, y.second));
    for (auto x : {std::pair<uint32_t, uint32_t>{2, 96}, {1, 105000}, {1, 105001}})
        out += Text("%u ", GraphXMaxKB(x.first, x.second));
    for (uint32_t kb : {10000u, 2050000u}) {
        uint32_t range = 0, scale = 0;
        ReduceGraphRange(kb, &range, &scale);
        out += Text("%u/%u ", range, scale);
    }
    for (uint32_t blocks : {599u, 600u})
        out += Text("%u ", GraphGroupSize(blocks));
    EXPECT_EQ(out, "10000 2500 30000 32500 1045000 10000 100000 110000 "
                   "10000/1 2050/1000 1 2 ");
}

TEST(GraphRules, CurvesAndReadout)
{
    Blocks three(3);
    three.samples = {{0, 10000}, {0, 12000}, {0, 8000}};
    three.result.samples = three.samples.data();
    // A sum of 0 counts as one step of the clock: a microsecond, or a tick's millisecond.
    std::string out = Text("%u %u %u ", GroupRate(&three.result, 0, 3, 1), GroupRate(&three.result, 0, 3, 0),
                           GroupRate(&three.result, 1, 1, 1));
    three.result.timedByTicks = 1;
    out += Text("%u|", GroupRate(&three.result, 0, 3, 0));
    static CurvePoint points[GRAPH_MAX_POINTS];
    Blocks short99(99), whole900(900), beyond1067(1067), fast99(99);
    short99.samples[5].readUs = 40000;
    // 1 GB/s: a y axis of 1045 units of 1000 kB/s
    fast99.result.shortestBlockUs = 92;
    // 99 blocks: blocks 0 to 97, the first point twice; 900: the last whole group
    // left out; 1067: one point past the end of the axis, no more.
    for (auto c : {std::pair<Blocks *, int>{&short99, 1}, {&short99, 0}, {&whole900, 1}, {&beyond1067, 1}, {&fast99, 1}}) {
        uint32_t lastX = 0;
        int n = GraphCurve(&c.first->result, c.second, points, GRAPH_MAX_POINTS, &lastX);
        out += Text("%d/%u/%u/%u,%u/%u,%u ", n, lastX, GraphGroupWidth(&c.first->result), points[0].x, points[1].x,
                    points[6].x, points[6].rate);
    }
    for (auto w : {std::pair<uint32_t, uint32_t>{1067, 10000}, {1067, 999999}, {2, 5000}, {1, 0}}) {
        Blocks t(w.first);
        uint32_t first = 99, count = 99;
        ReadoutWindow(&t.result, w.second, &first, &count);
        out += Text("%u+%u ", first, count);
    }
    EXPECT_EQ(out, "9600 288000000 8000 288000|99/9312/96/0,0/480,4800 99/9312/96/0,0/480,2400 300/8582/28/0,0/144,4800 "
                   "350/10022/28/0,0/144,4800 99/9312/96/0,0/480,4 104+3 1063+3 0+1 0+1 ");
}

TEST(GraphRules, LayoutMinimumAndCursor)
{
    GraphMargins m = GraphMarginsFor(13);
    LabelBox boxes[GRAPH_LABELS];
    LayoutGraphLabels(&m, 592, 266, boxes);
    std::string out = Text("%d %d %d %d|", m.left, m.right, m.top, m.bottom);
    for (const LabelBox &b : boxes)
        out += Text("%d,%d,%d,%d ", b.x, b.y, b.width, b.height);
    for (int edge = SIZE_EDGE_LEFT; edge <= SIZE_EDGE_BOTTOMRIGHT; edge++) {
        int32_t left = 100, top = 100, right = 200, bottom = 200;
        KeepGraphMinimum(&m, edge, &left, &top, &right, &bottom);
        out += Text("%d,%d,%d,%d ", left, top, right, bottom);
    }
    out += Text("%u %d %u %u %u", CursorKBAt(260, &m, 500, 10, 2000), CursorXOf(10000, &m, 500, 10, 2000),
                CursorKBAt(5, &m, 500, 10, 2000), CursorKBAt(560, &m, 500, 10, 2000), CursorKBAt(300, &m, 0, 10, 2000));
    EXPECT_EQ(out, "10 67 19 19|10,2,58,13 70,2,48,13 244,250,47,13 473,250,47,13 491,232,32,13 526,232,67,13 "
                   "-177,100,200,200 100,100,477,200 100,12,200,200 -177,12,200,200 100,12,477,200 100,100,200,288 "
                   "-177,100,200,288 100,100,477,288 10000 260 0 22000 0");
}
