// Fuzz target: arbitrary field descriptions and parameter descriptions. Opening either works
// or raises one of the framework's own errors; an open dataset takes a record, reads it and
// saves text that reloads to the same state; parameter lines build a parameter list or fail.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace kelva;

namespace {

// The input is lines; a line "%%" separates the field descriptions from the parameter ones.
void SplitInput(const std::string& Text, TStrings& Fields, TStrings& Params) {
  TStrings* Target = &Fields;
  std::size_t Start = 0;
  while (Start <= Text.size()) {
    std::size_t End = Text.find('\n', Start);
    if (End == std::string::npos) End = Text.size();
    const std::string Line = Text.substr(Start, End - Start);
    if (Line == "%%")
      Target = &Params;
    else
      Target->Add(Line);
    Start = End + 1;
  }
}

void TryFields(const TStringList& Fields) {
  TEventDataset D(nullptr);
  D.SetKLVFields(Fields);
  try {
    D.Open();
  } catch (const Exception&) {
    fuzz::Require(!D.Active(), "a failed open leaves the dataset open");
    return;
  }
  // A description with an unknown type word has a slot but no field object.
  fuzz::Require(D.FieldCount() <= static_cast<std::int32_t>(D.FieldInfo().size()),
                "more fields than slots");
  std::int32_t Width = 1;
  for (const TKlvFieldInfo& Info : D.FieldInfo()) Width += Info.Width;
  fuzz::Require(Width == D.DataSize(), "slot widths do not add up to the record size");
  D.Append();
  D.Post();
  for (D.First(); !D.Eof(); D.Next())
    for (std::int32_t I = 0; I < D.FieldCount(); ++I)
      fuzz::Require(D.Fields()[I]->IsNull(), "a new record has a non-null field");
  fuzz::RequireRoundTrip(D);
}

void TryParams(const TStringList& Params) {
  TEventDataset D(nullptr);
  try {
    D.SetFParamsDesc(Params);
  } catch (const Exception&) {
    return;
  }
  fuzz::Require(D.GetParamsCount() <= Params.Count(), "more parameters than lines");
  for (std::int32_t I = 0; I < D.GetParamsCount(); ++I) {
    TParam* P = D.Params().Items(I);
    fuzz::Require(D.ParamByName(P->Name()) != nullptr, "parameter not found by its name");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TStringList Fields;
  TStringList Params;
  SplitInput(std::string(reinterpret_cast<const char*>(Data), Size), Fields, Params);
  TryFields(Fields);
  TryParams(Params);
  return 0;
}
