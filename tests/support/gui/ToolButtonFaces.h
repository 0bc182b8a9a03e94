// What a person sees of the tool buttons in a window: every button of every strip and tool bar
// must show an icon with something drawn in it or a caption, and no strip may hide buttons
// behind its "»" extension arrow. Used by the tests that walk the programs' main frames.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace guitest {

// The tool buttons under `root` (hidden pages included, buttons hidden on purpose left out) with
// neither a drawn icon nor a caption, each named by its id, tip and strip.
std::vector<std::string> FacelessToolButtons(QWidget* root);

// The strips and tool bars under `root` shown with their extension arrow (buttons that do not
// fit), each named by its id and its first button's tip.
std::vector<std::string> OverflowingStrips(QWidget* root);

// How many tool buttons FacelessToolButtons looked at (so a walk that finds nothing fails).
int CountToolButtons(QWidget* root);

} // namespace guitest
