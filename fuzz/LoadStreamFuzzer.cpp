// Fuzz target: arbitrary bytes loaded as a saved dataset. Loading either succeeds, and what
// it loaded saves back to text that reloads to the same state, or it refuses with
// "invalid file format" and leaves the dataset closed with its descriptions untouched.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TEventDataset D(nullptr);
  D.MetaFields().Add("FIELD=NAME,CHAR,8");
  D.MetaFields().Add("FIELD=AGE,INTEGER,0");
  D.ParamsDesc().Add("PARAM=CUSTNO,INTEGER");
  const std::string FieldsBefore = fuzz::Lines(D.MetaFields());
  const std::string ParamsBefore = fuzz::Lines(D.ParamsDesc());

  TStringStream In(std::string(reinterpret_cast<const char*>(Data), Size));
  try {
    D.LoadFromStream(In);
  } catch (const EDatabaseError& E) {
    fuzz::Require(E.Message() == SklvFicError, "unexpected load error: " + E.Message());
    fuzz::Require(!D.Active(), "dataset left open by a failed load");
    fuzz::Require(fuzz::Lines(D.MetaFields()) == FieldsBefore, "field descriptions changed");
    fuzz::Require(fuzz::Lines(D.ParamsDesc()) == ParamsBefore, "parameter descriptions changed");
    return 0;
  } catch (const Exception& E) {
    fuzz::Broken("load raised something other than a database error: " + E.Message());
  }
  fuzz::Require(D.Active(), "a successful load leaves the dataset closed");
  // Walking the loaded records must work, and so must the pending-change queries.
  // Slot texts are not checked while loading, so reading a damaged one may raise a conversion
  // error; anything else is a fault.
  for (D.First(); !D.Eof(); D.Next())
    for (std::int32_t I = 0; I < D.FieldCount(); ++I) {
      try {
        (void)D.Fields()[I]->AsString();
      } catch (const EConvertError&) {}
    }
  (void)D.UpDatesPending();
  fuzz::RequireRoundTrip(D);
  return 0;
}
