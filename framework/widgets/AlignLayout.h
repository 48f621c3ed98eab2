// Where each child of a control goes: aligned children take strips of the parent's client
// area in their order (top, bottom, left and right strips, then the client rest); the others
// keep the position and size the model gives them.
#pragma once

#include "kelva/framework/forms/Controls.h"

#include <QRect>

#include <vector>

namespace kelva {

std::vector<QRect> AlignedRects(const QRect& Client, const std::vector<TControl*>& Children);

} // namespace kelva
