// Writing a component tree as a form file (format: FormParser.h) that ReadComponentRes and
// ReadComponentFromText read back into the same components, tree and property values.
#pragma once

#include <string>

namespace kelva {

class TComponent;
class TStream;

// Writes Root and, through GetChildren(Proc, Root), the components placed inside it, each with
// its stored published properties that differ from their defaults. What a reader could not
// restore is refused with EWriteError rather than written wrongly: an unregistered class, a
// reference to a component the root does not own or that has no name, an enumeration value
// without a name, a tree deeper than MaxFormNestingDepth, a component listed twice.
std::string WriteComponentToText(TComponent& Root);
// The same text, written to Stream at its position.
void WriteComponentToText(TComponent& Root, TStream& Stream);

} // namespace kelva
