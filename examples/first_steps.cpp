// First steps with Kelva: declare a record structure as text, fill the dataset by raw
// loading when it opens, and walk the records first to last and back.
#include "dataset/KelvaDataset.h"

#include <iostream>

using namespace kelva;

// A dataset decides where its records come from through hooks; this one loads a few
// planets every time it opens and accepts every change.
class TPlanets : public TKelvaDataset {
public:
  using TKelvaDataset::TKelvaDataset;
  ~TPlanets() override {
    Destroying();
    Close();
  }

protected:
  void DoOnLoad(TKlvLoadAction) override {
    const struct {
      const char* Name;
      double Pos;
    } Planets[] = {{"Mercury", 0.39}, {"Venus", 0.72}, {"Earth", 1.0}, {"Mars", 1.52}};
    for (const auto& Planet : Planets) {
      AppendRaw();
      FieldByName("NAME")->SetAsString(Planet.Name);
      FieldByName("POS")->SetAsFloat(Planet.Pos);
      PostRaw();
    }
  }
  void DoOnUpdateRec(TUpdateStatus) override {}
  void DoOnUpdate() override {}
};

int main() {
  TPlanets Planets(nullptr);
  TStringList Description;
  Description.Add("FIELD=NAME,CHAR,25");
  Description.Add("FIELD=POS,FLOAT,0");
  Planets.SetKLVFields(Description);
  Planets.Open();

  std::cout << Planets.RecordCount() << " records of " << Planets.DataSize()
            << " characters each\n\nFirst to last:\n";
  TField* Name = Planets.FieldByName("NAME");
  TField* Pos = Planets.FieldByName("POS");
  for (Planets.First(); !Planets.Eof(); Planets.Next())
    std::cout << "  " << Planets.RecNo() << "  " << Name->AsString() << "  " << Pos->AsString()
              << "\n";

  std::cout << "\nLast to first:\n";
  for (Planets.Last(); !Planets.Bof(); Planets.Prior())
    std::cout << "  " << Planets.RecNo() << "  " << Name->AsString() << "\n";
  return 0;
}
