// The filter expression of the framework's Filter text and FilterOptions: compiled when set
// (or when the dataset opens) against the record layout, and applied by RecordFilter
// together with the filter event.
#include "kelva/dataset/KelvaDataset.h"

namespace kelva {

std::unique_ptr<TKlvFilterProgram> TKelvaDataset::CompileFilter(const std::string& Text,
                                                                TFilterOptions Options) {
  if (FilterTextIsBlank(Text)) return nullptr;
  const TKlvFilterSettings Settings{Options.Contains(foCaseInsensitive),
                                    Options.Contains(foNoPartialCompare)};
  auto Resolve = [this](const std::string& Name, TKlvFilterField& Result) {
    TField* Field = FindField(Name);
    if (!Field) return false;
    const bool HasSlot = (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) &&
                         Field->FieldNo() > 0 &&
                         static_cast<std::size_t>(Field->FieldNo()) <= FFieldInfo.size();
    Result.Type = HasSlot ? Field->DataType() : ftUnknown;
    if (HasSlot) Result.Slot = FFieldInfo[static_cast<std::size_t>(Field->FieldNo() - 1)];
    return true;
  };
  return std::make_unique<TKlvFilterProgram>(Text, Settings, Resolve);
}

void TKelvaDataset::ChangeFilter(const std::string& Text, TFilterOptions Options) {
  // Everything that can fail comes first, so that a refused expression changes nothing.
  std::unique_ptr<TKlvFilterProgram> Program;
  if (Active())
    Program = CompileFilter(Text, Options);
  else if (!FilterTextIsBlank(Text))
    ParseFilter(Text); // the fields are known at open: only the syntax can be checked now
  const bool Refilter = Active() && Filtered();
  if (Refilter) CheckBrowseMode();
  TDataSet::SetFilterText(Text);
  TDataSet::SetFilterOptions(Options);
  FFilterProgram = std::move(Program);
  // As switching Filtered does: the view restarts at its first visible record.
  if (Refilter) First();
}

void TKelvaDataset::SetFilterText(const std::string& Value) {
  ChangeFilter(Value, FilterOptions());
}

void TKelvaDataset::SetFilterOptions(TFilterOptions Value) {
  ChangeFilter(Filter(), Value);
}

} // namespace kelva
