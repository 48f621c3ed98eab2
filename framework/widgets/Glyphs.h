// Speed-button glyphs: the model keeps a picture as text rows ('.' is background); with two
// glyphs each row holds the normal image followed by the disabled one.
#pragma once

#include "kelva/framework/rtl/Strings.h"

#include <QIcon>

namespace kelva {

// The icon for a glyph, its disabled image included when NumGlyphs is 2. Each text pixel
// becomes Scale x Scale screen pixels.
QIcon GlyphIcon(const TStrings& Rows, int NumGlyphs, int Scale = 2);

} // namespace kelva
