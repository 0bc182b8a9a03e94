// Operations on lists of colours owned by the caller: insertion in hue order, selection of the
// colours nearest a target, the closer of two candidates, membership, and the multi-key sort of
// colour records with the sorts built on it. Pointer lists own their items (unique_ptr); a null
// entry in one is left out of the list an operation rebuilds, though its position still counts.
#pragma once

#include "colour/CColorItem.h"
#include "colour/ColorQuad.h"

#include <memory>
#include <span>
#include <vector>

using ColorItemPtrList = std::vector<std::unique_ptr<CColorItem>>;
using FlaggedQuadPtrList = std::vector<std::unique_ptr<FlaggedColorQuad>>;

// Inserts keeping the order by hue, then value, then saturation, all ascending (HSV of the colour
// value, truncated); among equal keys the new colour goes before the first equal element. The
// pointer form allocates a copy of newColor that the list owns.
void InsertByHue(std::vector<ColorValue>& list, ColorValue newColor);
void InsertByHue(ColorItemPtrList& list, const CColorItem& newColor);
void InsertByHue(std::vector<CColorItem>& list, const CColorItem& newColor);

// 1 when some item has the same GetColor as item, else 0.
int ContainsColor(const std::vector<CColorItem>& list, const CColorItem& item);

// Moves the `count` items of source nearest to target by RgbDistance into result, nearest first
// (the earliest of equal distances first); result is emptied first. count < 0 copies the whole
// source into result and leaves source as it was.
void SelectNearest(const CColorItem& target, std::vector<CColorItem>& source,
                   std::vector<CColorItem>& result, int count);
void SelectNearest(ColorValue target, std::vector<CColorItem>& source, std::vector<CColorItem>& result,
                   int count);

// The candidate whose saturation and value are closer to the target's, weighed as
// (4·dS)² + (6·dV)²; equal weights go to the smaller s + v, then to the smaller v, else to b.
CColorItem CloserOf(const CColorItem& target, const CColorItem& a, const CColorItem& b);

// Sorts records ascending by key 1 (c1), then key 3 (c3), then key 2 (c2); records equal on all
// three keep no particular order, and a NaN key sorts after every number. O(n log n), bounded
// stack depth.
void SortColorTable(std::span<ColorQuadF> records);
void SortColorQuadList(std::vector<ColorQuadF>& list);

// Items by hue, then value, then saturation, ascending: the order InsertByHue keeps.
void SortItemsByHsv(std::vector<CColorItem>& list);
void SortItemPointersByHsv(ColorItemPtrList& list);

// By the fourth double, then flags, ascending. The pointer form replaces the list's records by new
// copies in sorted order; the list owns them.
void SortFlaggedQuads(std::span<FlaggedColorQuad> records);
void SortFlaggedQuads(FlaggedQuadPtrList& list);
