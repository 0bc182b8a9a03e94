// Distances between colour items in several colour spaces, and tolerance and range tests on
// colour components. Each difference is the absolute difference of two integer components; hue
// differences are plain differences of degrees (no wrap at 360). Distances are >= 0.
#pragma once

#include "colour/CColorItem.h"

double HsvWeightedDistance(const CColorItem& a, const CColorItem& b); // sqrt(50dH² + dS² + 2dV²)
double HsvDistance(const CColorItem& a, const CColorItem& b);
double RgbDistance(const CColorItem& a, const CColorItem& b);
double CmykDistance(const CColorItem& a, const CColorItem& b);
double XyzDistance(const CColorItem& a, const CColorItem& b);
double LabDistance(const CColorItem& a, const CColorItem& b);

// 1 when every |c - d| <= its tolerance, else 0.
int ColorsWithinTolerance(int c1, int c2, int c3, int d1, int d2, int d3, int t1, int t2, int t3);
int ColorsWithinTolerance(int c1, int c2, int c3, int c4, int d1, int d2, int d3, int d4, int t1,
                          int t2, int t3, int t4);

// 1 when every component of the item in that space lies within [low, high], both ends included.
int ColorInRangeHsv(const CColorItem& c, int low1, int low2, int low3, int high1, int high2, int high3);
int ColorInRangeRgb(const CColorItem& c, int low1, int low2, int low3, int high1, int high2, int high3);
int ColorInRangeCmyk(const CColorItem& c, int low1, int low2, int low3, int low4, int high1,
                     int high2, int high3, int high4);
int ColorInRangeXyz(const CColorItem& c, int low1, int low2, int low3, int high1, int high2, int high3);
int ColorInRangeLab(const CColorItem& c, int low1, int low2, int low3, int high1, int high2, int high3);
