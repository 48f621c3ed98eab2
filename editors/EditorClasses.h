// Registers the dialog classes (their published handlers, which their form files bind by
// name) together with every class their form files use. Safe to call many times.
#pragma once

namespace kelva {

void RegisterEditorClasses();

} // namespace kelva
