// Making property editors for a set of objects: the registered editor of each property, or
// the default one for its kind, with its entries filled and Initialize called.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"

#include <memory>
#include <string>
#include <vector>

namespace kelva {

class TDesignerHost;
struct TPropInfo;

// The default editor of Prop's kind, for PropCount objects (entries still to be filled).
std::unique_ptr<TPropertyEditor>
CreateDefaultPropertyEditor(TDesignerHost* Designer, std::int32_t PropCount, const TPropInfo& Prop);

// One ready editor per published property common to all Instances (same name and type, the
// same editor choice for each object's class), in declaration order. With several instances,
// editors without paMultiSelect are left out.
std::vector<std::unique_ptr<TPropertyEditor>>
PropertyEditorsFor(TDesignerHost* Designer, const std::vector<TPersistent*>& Instances);

// The ready editor of the property PropName common to all Instances, or null.
std::unique_ptr<TPropertyEditor> PropertyEditorFor(TDesignerHost* Designer,
                                                   const std::vector<TPersistent*>& Instances,
                                                   const std::string& PropName);

} // namespace kelva
