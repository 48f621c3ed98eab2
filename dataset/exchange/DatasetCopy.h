// Copying the records of any open dataset of the framework into a Kelva dataset.
#pragma once

#include <string>

namespace kelva {

class TDataSet;
class TKelvaDataset;
class TStrings;

// Appends every visible record of Source's current view to Target by raw loading, field by
// field on equal names (letter case aside); Target fields Source lacks stay null and
// Source fields Target lacks are left out. When Target's MetaFields are empty, they are
// first described from Source's stored fields (see DescribeFieldsOf). Target is opened if
// closed. All or nothing: every value is converted and checked before the first record is
// stored; one that does not fit raises EDatabaseError "record N: field 'X': <reason>", N
// counting Source's visible records from 1. Source's current record is kept.
void CopyDataset(TDataSet& Source, TKelvaDataset& Target);

// Field descriptions for the stored fields of the open dataset Source: string fields
// become CHAR of their size, SMALLINT, INTEGER (also for word and auto-increment fields),
// FLOAT (also for currency), BOOLEAN, BCD, DATE, TIME and DATETIME keep their kind.
// Raises EDatabaseError for a field of another type or whose name a description cannot
// hold.
void DescribeFieldsOf(TDataSet& Source, TStrings& Lines);

} // namespace kelva
