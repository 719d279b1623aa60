/* The arithmetic of the performance graph: scale, groups of blocks and their
   rates, the curve's points, the label layout, the minimum size and the cursor.
   Free of the system. */
#ifndef STRAVO_GRAPH_RULES_H
#define STRAVO_GRAPH_RULES_H

#include <stdint.h>

#include "../measure/drive_records.h"

enum { GRAPH_MAX_X_RANGE = 10000, GRAPH_LABELS = 6, GRAPH_MAX_POINTS = 1024 };

/* y maximum (kB/s, a multiple of 2500) and x maximum (kB, a multiple of 10000) of a
   slot's last test; either output may be null. Always 1. */
int ComputeGraphScale(int slot, uint32_t *yMax, uint32_t *xMaxKB);

uint32_t GraphYMax(uint32_t blockSizeKB, uint32_t shortestBlockUs);
uint32_t GraphXMaxKB(uint32_t blockCount, uint32_t blockSizeKB);

/* Blocks per point of a curve: about 300 to 600 points, and 1 for short tests. */
uint32_t GraphGroupSize(uint32_t blockCount);

/* x extent at most 10000 units and the kB per unit, a power of ten. */
void ReduceGraphRange(uint32_t xMaxKB, uint32_t *xRange, uint32_t *xScale);

/* kB/s of `count` blocks from `first`, by their write or read times; a sum of 0
   counts as one step of the clock that timed them. */
uint32_t GroupRate(const TestResult *result, uint32_t first, uint32_t count, int write);

struct CurvePoint {
    uint32_t x, rate;  /* both in reduced units */
};

/* The kB/s in one logical unit of the plot's y axis, which spans at most 10000. */
uint32_t GraphYScale(const TestResult *result);

/* The points of a curve, the first one twice (moved to, then drawn to). Returns
   how many, at most capacity; *lastX is the x of the last. */
int GraphCurve(const TestResult *result, int write, CurvePoint *points, int capacity, uint32_t *lastX);

/* The group width in reduced units: where the average's number stands past the curve. */
uint32_t GraphGroupWidth(const TestResult *result);

/* The blocks the cursor readout averages: from the block under the cursor, never
   past the block before the last group. 0 blocks when the test has none. */
void ReadoutWindow(const TestResult *result, uint32_t cursorKB, uint32_t *first, uint32_t *count);

struct GraphMargins {
    int32_t left, right, top, bottom, labelHeight;
};

GraphMargins GraphMarginsFor(int32_t labelHeight);

struct LabelBox {
    int32_t x, y, width, height;
};

/* Label boxes in the order 190, 193, 192, 191, 194, 195. */
void LayoutGraphLabels(const GraphMargins *m, int32_t clientWidth, int32_t clientHeight,
                       LabelBox boxes[GRAPH_LABELS]);

/* WM_SIZING: the dragged edge moved out so that the window keeps its minimum. */
enum { SIZE_EDGE_LEFT = 1, SIZE_EDGE_RIGHT, SIZE_EDGE_TOP, SIZE_EDGE_TOPLEFT, SIZE_EDGE_TOPRIGHT,
       SIZE_EDGE_BOTTOM, SIZE_EDGE_BOTTOMLEFT, SIZE_EDGE_BOTTOMRIGHT };
void KeepGraphMinimum(const GraphMargins *m, int edge, int32_t *left, int32_t *top, int32_t *right,
                      int32_t *bottom);

/* kB under client x; 0 left of the plot or without a plot. */
uint32_t CursorKBAt(int32_t x, const GraphMargins *m, int32_t plotWidth, uint32_t xScale, uint32_t xRange);

/* Client x of the cursor line. */
int32_t CursorXOf(uint32_t cursorKB, const GraphMargins *m, int32_t plotWidth, uint32_t xScale,
                  uint32_t xRange);

#endif
