// The rows the object inspector shows, sub-property rows included: the top-level rows of the
// selection and, under each row a person opened, the rows of its sub-properties, each named by
// its dotted path ("Options.dgTitles") so that edits reach it through TObjectInspector.
#pragma once

#include "kelva/framework/design/PropertyRows.h"

#include <set>
#include <string>
#include <vector>

namespace kelva {

struct TShownRow {
  std::string Path; // "Name", or "Parent.Name" for a sub-property
  int Depth = 0;    // 0 for a top-level row
  TInspectorRow Row;
};

// The rows of the sub-properties of the row at Path; empty when it has none.
std::vector<TInspectorRow> SubRows(TObjectInspector& Inspector, const std::string& Path);

// Every row to show, parents before their children: the top-level rows, the properties before
// the events (each in declaration order), and, under each row whose path is in Opened and
// which has sub-properties, its sub-rows (recursively).
std::vector<TShownRow> ShownRows(TObjectInspector& Inspector, const std::set<std::string>& Opened);

} // namespace kelva
