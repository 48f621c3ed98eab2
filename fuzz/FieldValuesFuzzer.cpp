// Fuzz target: fields of every type set from arbitrary text, numbers and variants inside an
// insert or an edit, then posted. Refusals are the framework's own errors; what is posted
// reads back, and the dataset saves text that reloads to the same state.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace kelva;

namespace {

class TInput {
public:
  TInput(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
  bool Done() const { return FPos >= FSize; }
  std::uint8_t Byte() { return Done() ? 0 : FData[FPos++]; }
  template <typename T>
  T Raw() {
    T Value{};
    unsigned char Bytes[sizeof(T)] = {};
    for (unsigned char& B : Bytes) B = Byte();
    std::memcpy(&Value, Bytes, sizeof(T));
    return Value;
  }
  std::string Text() {
    const std::size_t Length = std::min<std::size_t>(Byte(), FSize - FPos);
    std::string S(reinterpret_cast<const char*>(FData + FPos), Length);
    FPos += Length;
    return S;
  }

private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

// One assignment to one field, chosen by the input; refusals are expected and ignored.
void Assign(TDataSet& D, TInput& In) {
  TField* F = D.Fields()[In.Byte() % D.FieldCount()];
  const int Action = In.Byte() % 10;
  try {
    switch (Action) {
    case 0:
      F->SetAsString(In.Text());
      break;
    case 1:
      F->SetValue(Variant(In.Text()));
      break;
    case 2:
      F->SetValue(Variant(In.Raw<std::int64_t>()));
      break;
    case 3:
      F->SetValue(Variant(In.Raw<double>()));
      break;
    case 4:
      F->SetValue(Variant(In.Byte() % 2 == 1));
      break;
    case 5:
      F->Clear();
      break;
    case 6:
      F->SetAsFloat(In.Raw<double>());
      break;
    case 7: {
      const std::int32_t Value = In.Raw<std::int32_t>();
      F->SetValue(Variant(static_cast<int>(Value)));
      if (F->DataType() == ftInteger)
        fuzz::Require(F->AsInteger() == Value, "integer field does not keep its value");
      break;
    }
    case 8:
      F->SetAsCurrency(Currency::FromScaled(In.Raw<std::int64_t>()));
      break;
    default:
      F->SetAsDateTime(In.Raw<double>());
      break;
    }
  } catch (const Exception&) {
    return;
  }
  (void)F->AsString();
  (void)F->Value();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TEventDataset D(nullptr);
  for (const char* Line : {"FIELD=S,CHAR,12", "FIELD=F,FLOAT,0", "FIELD=B,BOOLEAN,0",
                           "FIELD=I,INTEGER,0", "FIELD=SI,SMALLINT,0", "FIELD=D,DATE,0",
                           "FIELD=T,TIME,0", "FIELD=DT,DATETIME,0", "FIELD=C,BCD,0"})
    D.MetaFields().Add(Line);
  D.Open();
  TInput In(Data, Size);
  // Each round inserts a record or edits the first one, assigns a few fields and posts.
  for (int Round = 0; Round < 4 && !In.Done(); ++Round) {
    if (Round % 2 == 1 && !D.IsEmpty()) {
      D.First();
      D.Edit();
    } else {
      D.Append();
    }
    const int Assignments = 1 + In.Byte() % 6;
    for (int I = 0; I < Assignments; ++I) Assign(D, In);
    try {
      D.Post();
    } catch (const Exception&) {
      D.Cancel();
    }
    fuzz::Require(D.State() == dsBrowse, "dataset not back in browse state");
  }
  for (D.First(); !D.Eof(); D.Next())
    for (std::int32_t I = 0; I < D.FieldCount(); ++I) {
      (void)D.Fields()[I]->AsString();
      (void)D.Fields()[I]->Value();
    }
  fuzz::RequireRoundTrip(D);
  return 0;
}
