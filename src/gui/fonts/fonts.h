#pragma once

#include <QString>

namespace vel {

// The faces the window is drawn in travel inside the program, so captions
// measure the same on a machine that lacks them.
QString sansFamily();  // "Liberation Sans"
QString serifFamily(); // "Liberation Serif"

// Registers the embedded faces with Qt once per run; false when a face could
// not be loaded (the system's fonts are used then).
bool registerEmbeddedFonts();

// Registers them and makes the sans face the application's own, so that
// what the window does not draw itself (menus' shortcut column, dialogs
// without an owner) uses it too. Call once after the application is made.
void useEmbeddedFonts();

} // namespace vel
