// Reading a form file (see FormParser.h for the format) into live components through the
// loading protocol: every component is created owned by the root, named, put in csLoading and
// csReading, placed in its parent (SetParentComponent), given its properties in file order;
// references to components are resolved once the whole text is read (they may point forward);
// then csReading is cleared and Loaded() runs on every component read, the root first, in
// reading order.
//
// Errors: syntax errors raise EParserError "Line N: ..." before anything is created; any
// other problem (unknown class, property, enumeration value, method or component, a value of
// the wrong kind, a duplicate name, a setter refusing its value) raises EReadError
// "Line N: ..." naming the component and property. Either way every component the read
// created is destroyed again. Exceptions thrown by Loaded() propagate unchanged, after the same
// clean-up.
#pragma once

#include <string>

namespace kelva {

class TComponent;

// Reads the text's top object into the existing Root, whose registered class name must be
// the top object's class; the top object's name becomes Root's name. Used by form constructors.
// On failure Root keeps the components it had before and its previous name, and is no longer
// loading; the properties already assigned to it stay assigned.
void ReadComponentRes(const std::string& Text, TComponent& Root);

// Creates the top object (its class from the registry) owned by Owner and reads it; returns it.
// On failure nothing the read made remains.
TComponent* ReadComponentFromText(const std::string& Text, TComponent* Owner);

} // namespace kelva
