// Helpers shared by the fuzz targets: a stop that the fuzzer reports as a crash, and the
// save-and-reload comparison of a dataset's text.
#pragma once

#include "kelva/dataset/EventDataset.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelva::fuzz {

// Reports a broken property with a message and stops; the fuzzer keeps the input.
[[noreturn]] inline void Broken(const std::string& What) {
  std::fprintf(stderr, "property broken: %s\n", What.c_str());
  std::fflush(stderr);
  std::abort();
}

inline void Require(bool Condition, const std::string& What) {
  if (!Condition) Broken(What);
}

inline std::string Lines(const TStrings& List) {
  std::string Text;
  for (std::int32_t I = 0; I < List.Count(); ++I) Text += List[I] + "\n";
  return Text;
}

inline std::string SavedText(TKelvaDataset& D) {
  TStringStream Out;
  D.SaveToStream(Out);
  return Out.DataString();
}

// The text D saves must load into a fresh dataset that saves exactly the same text.
// Saving refuses descriptions the line format cannot carry (line breaks, NUL); then there is
// nothing to compare.
inline void RequireRoundTrip(TKelvaDataset& D) {
  std::string First;
  try {
    First = SavedText(D);
  } catch (const EDatabaseError& E) {
    const std::string Descriptions = Lines(D.MetaFields()) + Lines(D.ParamsDesc());
    std::size_t Breaks = 0;
    for (char C : Descriptions) Breaks += C == '\n' || C == '\r' || C == '\0';
    Require(Breaks > static_cast<std::size_t>(D.MetaFields().Count() + D.ParamsDesc().Count()),
            "save refused: " + E.Message());
    return;
  }
  TEventDataset Fresh(nullptr);
  TStringStream In(First);
  try {
    Fresh.LoadFromStream(In);
  } catch (const Exception& E) {
    Broken("saved text does not load again: " + E.Message() + "\n" + First);
  }
  const std::string Second = SavedText(Fresh);
  Require(First == Second, "saved text changes on reload:\n" + First + "---\n" + Second);
}

} // namespace kelva::fuzz
