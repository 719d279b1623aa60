/* The graph's integer arithmetic. Products that a 2000 MB test or a wide window
   takes past 32 bits are taken in 64. */
#include "graph_rules.h"

static uint32_t Saturate(uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)value;
}

uint32_t GraphYMax(uint32_t blockSizeKB, uint32_t shortestBlockUs)
{
    uint64_t peak = shortestBlockUs ? (uint64_t)blockSizeKB * 1000000 / shortestBlockUs : 8000;
    uint64_t yMax = (peak + 2499) / 2500 * 2500;
    /* A block slower than its own size in seconds would give no y extent at all:
       the lowest scale still shows it, along the bottom. */
    return yMax ? Saturate(yMax) : 2500;
}

uint32_t GraphXMaxKB(uint32_t blockCount, uint32_t blockSizeKB)
{
    uint64_t xMax = ((uint64_t)blockCount * blockSizeKB + 4999) / 10000 * 10000;
    /* A pass stopped within its first 5000 kB would leave no x extent: such a test
       is drawn on the shortest axis instead. */
    return xMax ? Saturate(xMax) : 10000;
}

int ComputeGraphScale(int slot, uint32_t *yMax, uint32_t *xMaxKB)
{
    const TestResult *r = &TestResults[slot];
    if (yMax)
        *yMax = GraphYMax(r->blockSizeKB, r->shortestBlockUs);
    if (xMaxKB)
        *xMaxKB = GraphXMaxKB(r->blockCount, r->blockSizeKB);
    return 1;
}

uint32_t GraphGroupSize(uint32_t blockCount)
{
    uint32_t g = blockCount / 300;
    return g ? g : 1;
}

void ReduceGraphRange(uint32_t xMaxKB, uint32_t *xRange, uint32_t *xScale)
{
    *xRange = xMaxKB;
    *xScale = 1;
    while (*xRange > GRAPH_MAX_X_RANGE) {
        *xRange /= 10;
        *xScale *= 10;
    }
}

uint32_t GroupRate(const TestResult *r, uint32_t first, uint32_t count, int write)
{
    uint64_t sum = 0;
    for (uint32_t i = first; i < first + count; i++)
        sum += write ? r->samples[i].writeUs : r->samples[i].readUs;
    if (!sum)
        sum = r->timedByTicks ? 1000 : 1;
    return Saturate((uint64_t)r->blockSizeKB * count * 1000000 / sum);
}

uint32_t GraphGroupWidth(const TestResult *r)
{
    uint32_t xRange, xScale;
    ReduceGraphRange(GraphXMaxKB(r->blockCount, r->blockSizeKB), &xRange, &xScale);
    return r->blockSizeKB * GraphGroupSize(r->blockCount) / xScale;
}

uint32_t GraphYScale(const TestResult *r)
{
    uint32_t yRange, yScale;
    ReduceGraphRange(GraphYMax(r->blockSizeKB, r->shortestBlockUs), &yRange, &yScale);
    return yScale;
}

int GraphCurve(const TestResult *r, int write, CurvePoint *points, int capacity, uint32_t *lastX)
{
    uint32_t g = GraphGroupSize(r->blockCount), yScale = GraphYScale(r);
    uint32_t xRange, xScale;
    ReduceGraphRange(GraphXMaxKB(r->blockCount, r->blockSizeKB), &xRange, &xScale);
    int n = 0;
    uint32_t x = 0;
    /* Each group is plotted at the x of its first block; the last group (or the
       incomplete one at the end) is left out. */
    if (r->samples && r->blockCount > g) {
        for (uint32_t s = 0; s < r->blockCount - g && x <= xRange; s += g) {
            if (n + (s == 0 ? 2 : 1) > capacity)
                break;
            uint32_t rate = GroupRate(r, s, g, write) / yScale;
            if (s == 0)
                points[n++] = CurvePoint{0, rate};
            x = Saturate((uint64_t)r->blockSizeKB * s / xScale);
            points[n++] = CurvePoint{x, rate};
        }
    }
    *lastX = x;
    return n;
}

void ReadoutWindow(const TestResult *r, uint32_t cursorKB, uint32_t *first, uint32_t *count)
{
    uint32_t g = GraphGroupSize(r->blockCount);
    if (r->blockCount <= g) {
        /* A pass stopped after a block or two: average what there is. */
        *first = 0;
        *count = r->blockCount;
        return;
    }
    uint32_t i = r->blockSizeKB ? cursorKB / r->blockSizeKB : 0;
    if (i >= r->blockCount - g)
        i = r->blockCount - g - 1;
    *first = i;
    *count = g;
}

GraphMargins GraphMarginsFor(int32_t labelHeight)
{
    GraphMargins m;
    m.left = 10;
    m.labelHeight = labelHeight;
    /* Room for the cursor's kB of the largest test a user may set: nine digits. */
    m.right = labelHeight * 62 / 12;
    m.top = m.bottom = labelHeight + 6;
    return m;
}

void LayoutGraphLabels(const GraphMargins *m, int32_t W, int32_t H, LabelBox boxes[GRAPH_LABELS])
{
    const int32_t h = m->labelHeight, L = m->left, R = m->right, B = m->bottom;
    /* The y maximum of a disk of 1 GB/s has seven digits, of the page cache eight; the
       length of the largest test a user may set, 102400 MB, six. */
    boxes[0] = LabelBox{L, 2, 54 * h / 12, h};                                  /* 190 */
    boxes[1] = LabelBox{L + 56 * h / 12, 2, 45 * h / 12, h};                    /* 193 */
    boxes[2] = LabelBox{L + (W - R - L - 44 * h / 12) / 2, H - h - 3, 44 * h / 12, h}; /* 192 */
    boxes[3] = LabelBox{W - R - 48 * h / 12, H - h - 3, 44 * h / 12, h};        /* 191 */
    boxes[4] = LabelBox{W - R - 32 * h / 12, H - B - h - 2, 30 * h / 12, h};    /* 194 */
    boxes[5] = LabelBox{W - R + 1, H - B - h - 2, R, h};                        /* 195 */
}

void KeepGraphMinimum(const GraphMargins *m, int edge, int32_t *left, int32_t *top, int32_t *right,
                      int32_t *bottom)
{
    const int32_t width = m->left + m->right + 300, height = m->top + m->bottom + 150;
    if (*right - *left < width) {
        if (edge == SIZE_EDGE_LEFT || edge == SIZE_EDGE_TOPLEFT || edge == SIZE_EDGE_BOTTOMLEFT)
            *left = *right - width;
        else if (edge == SIZE_EDGE_RIGHT || edge == SIZE_EDGE_TOPRIGHT || edge == SIZE_EDGE_BOTTOMRIGHT)
            *right = *left + width;
    }
    if (*bottom - *top < height) {
        if (edge == SIZE_EDGE_TOP || edge == SIZE_EDGE_TOPLEFT || edge == SIZE_EDGE_TOPRIGHT)
            *top = *bottom - height;
        else if (edge == SIZE_EDGE_BOTTOM || edge == SIZE_EDGE_BOTTOMLEFT || edge == SIZE_EDGE_BOTTOMRIGHT)
            *bottom = *top + height;
    }
}

uint32_t CursorKBAt(int32_t x, const GraphMargins *m, int32_t plotWidth, uint32_t xScale, uint32_t xRange)
{
    /* Left of the y axis the line stops at the start of the file. */
    if (x <= m->left || plotWidth <= 0)
        return 0;
    return Saturate((uint64_t)(x - m->left) * xScale * xRange / (uint32_t)plotWidth);
}

int32_t CursorXOf(uint32_t cursorKB, const GraphMargins *m, int32_t plotWidth, uint32_t xScale,
                  uint32_t xRange)
{
    uint64_t full = (uint64_t)xScale * xRange;
    if (!full || plotWidth <= 0)
        return m->left;
    uint64_t x = (uint64_t)m->left + (uint64_t)plotWidth * cursorKB / full;
    return x > 0x7FFFFFFF ? 0x7FFFFFFF : (int32_t)x;
}
