// Saves a picture of a window or dialog for people to look at: Screenshot(widget, name) shows and
// lays the widget out when needed, grabs it and writes <name>.png into the folder the tests'
// environment names (VARNIA_SCREENSHOTS, the build folder's screenshots/). Names give the window
// and its state: "CDlgFamilyEdit-modify". A picture that cannot be written fails the test.
#pragma once

#include <string>

class QWidget;

namespace guitest {

// Returns the path written, empty (and the test failed) when nothing could be written.
std::string Screenshot(QWidget* widget, const std::string& name);

// The folder pictures go to (VARNIA_SCREENSHOTS, or "screenshots" under the working folder).
std::string ScreenshotDir();

} // namespace guitest
