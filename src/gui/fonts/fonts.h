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

} // namespace vel
