// The registration interface a design-time package calls from its Register: component classes
// for the palette, and property editors chosen by property type, component class and property
// name. The designer and the palette query the same registries.
#pragma once

#include "kelva/framework/design/PropertyEditor.h"
#include "kelva/framework/rtl/TypeInfo.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace kelva {

// Puts the classes on the palette page Page (created on first use). Each class must be a
// creatable component class. Registering a class on a page again is ignored.
void RegisterComponents(const std::string& Page,
                        std::initializer_list<const TClassInfo*> ComponentClasses);

// Makes EditorClass the editor of the properties of type PropertyType (or, for class types, of
// a descendant class) on components of ComponentClass or a descendant (null: any class), named
// PropertyName (case-insensitive; "": any name). Registering the same combination again is
// ignored.
void RegisterPropertyEditor(PTypeInfo PropertyType, const TClassInfo* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass);

// The palette pages in the order they were first registered.
std::vector<std::string> PalettePages();
// The classes on Page (case-insensitive), in registration order; empty for an unknown page.
std::vector<const TClassInfo*> PaletteClasses(const std::string& Page);
// True when Class is on some palette page.
bool IsPaletteClass(const TClassInfo* Class);

// The registered editor for Prop on a component of ComponentClass, or null when none fits (the
// default editor for the property's kind applies). The result stays valid for the whole run.
const TPropertyEditorClass* FindPropertyEditorClass(const TPropInfo& Prop,
                                                    const TClassInfo* ComponentClass);

} // namespace kelva
