// How the designer's views run what a person does: the window runs the action, reports any
// error in a message box, and then brings every view in line with the model.
#pragma once

#include <functional>

namespace kelva {

using TPerformAction = std::function<void(const std::function<void()>& Action)>;

} // namespace kelva
