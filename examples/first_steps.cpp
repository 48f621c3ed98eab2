// First steps with Kelva: a dataset whose records come from an event handler, browsed,
// edited with every change reported, then edited with cached updates whose pending changes
// are browsed, committed, reverted and applied; saved to a file and loaded back; sorted,
// filtered, searched and cloned.
#include "kelva/dataset/KelvaDataset.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

using namespace kelva;

namespace {

const char* const StatusNames[] = {"unmodified", "modified", "inserted", "deleted"};

void Show(const char* Title, TKelvaDataset& Data) {
  std::cout << Title << ":";
  TField* Name = Data.FieldByName("NAME");
  TField* Pos = Data.FieldByName("POS");
  for (Data.First(); !Data.Eof(); Data.Next())
    std::cout << "  " << Name->AsString() << " " << Pos->AsString();
  std::cout << "\n";
}

void LoadPlanets(TKelvaDataset* Data, TKlvLoadAction) {
  const struct {
    const char* Name;
    double Pos;
  } Planets[] = {{"Mercury", 0.39}, {"Venus", 0.72}, {"Earth", 1.0}, {"Mars", 1.52}};
  for (const auto& Planet : Planets) {
    Data->AppendRaw(); // committed at once; OnUpdaterec is not told
    Data->FieldByName("NAME")->SetAsString(Planet.Name);
    Data->FieldByName("POS")->SetAsFloat(Planet.Pos);
    Data->PostRaw();
  }
}

void Describe(TKelvaDataset& Data) {
  TStringList Lines;
  Lines.Add("FIELD=NAME,CHAR,25");
  Lines.Add("FIELD=POS,FLOAT,0");
  Data.SetKLVFields(Lines);
}

} // namespace

int main() {
  TEventDataset Planets(nullptr);
  Describe(Planets);
  Planets.OnLoad = LoadPlanets;
  Planets.OnUpdaterec = [](TKelvaDataset* Data, TUpdateStatus Action) {
    std::cout << "  OnUpdaterec: " << StatusNames[Action] << " "
              << Data->FieldByName("NAME")->AsString() << "\n";
  };
  Planets.Open();
  Show("Loaded", Planets);

  std::cout << "\nAn edit, reported before it is stored:\n";
  Planets.Locate("NAME", "Earth", {});
  Planets.Edit();
  Planets.FieldByName("POS")->SetAsFloat(1.00000011);
  Planets.Post();

  std::cout << "\nCached updates: changes wait in a working copy.\n";
  Planets.SetCachedUpdates(true);
  Planets.Locate("NAME", "Venus", {});
  Planets.Edit();
  Planets.FieldByName("POS")->SetAsFloat(0.7233);
  Planets.Post();
  Planets.AppendRecord({"Jupiter", 5.2});
  Planets.AppendRecord({"Pluto", 39.5});
  Planets.Locate("NAME", "Mercury", {});
  Planets.Delete();
  for (auto [View, Title] : {std::pair{brModified, "Modified"},
                             {brInserted, "Inserted"},
                             {brDeleted, "Deleted"},
                             {brold, "Committed"}}) {
    Planets.SetBrowseBuffer(View);
    Show(Title, Planets);
  }
  Planets.SetBrowseBuffer(brInserted);
  Planets.Locate("NAME", "Jupiter", {});
  Planets.CommitRecord();
  Planets.Locate("NAME", "Pluto", {});
  Planets.RevertRecord();
  Planets.SetBrowseBuffer(brStandard);
  std::cout << "Jupiter committed, Pluto reverted; still pending: "
            << (Planets.UpDatesPending() ? "yes" : "no") << "\n";

  const std::string FileName =
      (std::filesystem::temp_directory_path() / "kelva-planets.txt").string();
  Planets.SaveTofile(FileName);
  TEventDataset Reloaded(nullptr);
  Reloaded.LoadFromFile(FileName);
  std::remove(FileName.c_str());
  Show("\nSaved with its pending changes, loaded again", Reloaded);
  std::cout << "Pending after loading: " << (Reloaded.UpDatesPending() ? "yes" : "no") << "\n";

  Planets.OnUpdate = [](TKelvaDataset* Data) {
    std::cout << "OnUpdate: writing the pending changes out, then committing them\n";
    Data->CommitUpdates();
  };
  Planets.ApplyUpdates();
  Show("Applied", Planets);

  Planets.SortOn("POS", false, true);
  Show("\nSorted by POS, descending", Planets);
  Planets.OnFilterRecord = [](TDataSet* Data, bool& Accept) {
    Accept = Data->FieldByName("POS")->AsFloat() < 1.5;
  };
  Planets.SetFiltered(true);
  Show("Filtered to POS < 1.5", Planets);
  Planets.SetFiltered(false);
  std::cout << "Lookup of Mars: POS " << VarToStr(Planets.Lookup("NAME", "Mars", "POS")) << "\n";

  TEventDataset Copy(nullptr);
  Planets.Clone(&Copy);
  Show("A read-only clone", Copy);
  return 0;
}
