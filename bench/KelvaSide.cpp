// The workload on Kelva: raw loading through the fields, scanning, filtering, sorting, locating,
// editing with cached updates, pending changes, committing them one by one and at once,
// record numbers, saving, reloading and deleting.
#include "Measure.h"
#include "Workload.h"

#include "kelva/dataset/KelvaDataset.h"

#include <filesystem>
#include <stdexcept>

namespace kelva::bench {

namespace {

void Describe(TKelvaDataset& Data) {
  TStringList Lines;
  for (const char* Line : FieldDescriptions) Lines.Add(Line);
  Data.SetKLVFields(Lines);
}

// Keeps the compiler from dropping reads whose results are unused.
volatile double Sink;

} // namespace

TResults RunKelva(std::int32_t Count, const std::string& Directory) {
  TResults Results;
  const std::vector<std::string> KeyNames = NamesAt(LocateIndices(Count));
  const TDateTime Epoch = EncodeDate(1990, 1, 1);
  TEventDataset Data(nullptr);
  Describe(Data);
  Data.Open();

  Results.emplace_back("load", TimeMs([&] {
                         TField* Name = Data.FieldByName("NAME");
                         TField* City = Data.FieldByName("CITY");
                         TField* Age = Data.FieldByName("AGE");
                         TField* Salary = Data.FieldByName("SALARY");
                         TField* Hired = Data.FieldByName("HIRED");
                         TRecordStream Stream;
                         TRecord Record;
                         for (std::int32_t I = 0; I < Count; ++I) {
                           Stream.Next(Record);
                           Data.AppendRaw();
                           Name->SetAsString(Record.Name);
                           City->SetAsString(Record.City);
                           Age->SetAsInteger(Record.Age);
                           Salary->SetAsFloat(Record.Salary);
                           Hired->SetAsDateTime(Epoch + Record.HiredDay);
                           Data.PostRaw();
                         }
                       }));
  Results.emplace_back("mem_after_load", PeakMemoryMb());

  auto Walk = [&] {
    TField* Name = Data.FieldByName("NAME");
    TField* City = Data.FieldByName("CITY");
    TField* Age = Data.FieldByName("AGE");
    TField* Salary = Data.FieldByName("SALARY");
    TField* Hired = Data.FieldByName("HIRED");
    double Total = 0;
    for (Data.First(); !Data.Eof(); Data.Next()) {
      const std::string N = Name->AsString();
      const std::string C = City->AsString();
      Total += Age->AsInteger() + Salary->AsFloat() + Hired->AsDateTime() + N.size() + C.size();
    }
    Sink = Total;
  };
  Results.emplace_back("scan", TimeMs(Walk));

  // Walking a filtered view: the test compiled from the Filter text, then the same test
  // written as a filter event, over the same records.
  auto WalkVisible = [&] {
    std::size_t Visible = 0;
    for (Data.First(); !Data.Eof(); Data.Next()) ++Visible;
    Sink = static_cast<double>(Visible);
  };
  Data.SetFilterText("AGE > 30 and NAME >= 'M'");
  Data.SetFiltered(true);
  Results.emplace_back("filter_expression", TimeMs(WalkVisible));
  Data.SetFilterText("");
  Data.OnFilterRecord = [Age = Data.FieldByName("AGE"),
                         Name = Data.FieldByName("NAME")](TDataSet*, bool& Accept) {
    Accept = Age->AsInteger() > 30 && Name->AsString() >= "M";
  };
  Data.SetFiltered(true);
  Results.emplace_back("filter_event", TimeMs(WalkVisible));
  Data.OnFilterRecord = nullptr;
  Data.SetFiltered(false);
  Results.emplace_back("sort", TimeMs([&] {
                         Data.SortOn("NAME", false, false);
                         Walk();
                       }));

  Results.emplace_back("locate", TimeMs([&] {
                         std::size_t Found = 0;
                         for (const std::string& Key : KeyNames)
                           if (Data.Locate("NAME", Key, {}))
                             Found += Data.FieldByName("NAME")->AsString().size();
                         Sink = static_cast<double>(Found);
                       }));

  Data.SetCachedUpdates(true);
  // Every 10th record is reached by its number, as the SQL side reaches it by rowid.
  Results.emplace_back("edit", TimeMs([&] {
                         TField* Age = Data.FieldByName("AGE");
                         for (std::int32_t Number = 1; Number <= Count; Number += 10) {
                           Data.SetRecNo(Number);
                           Data.Edit();
                           Age->SetAsInteger(Age->AsInteger() + 1);
                           Data.Post();
                         }
                       }));
  Results.emplace_back("pending", TimeMs([&] {
                         Sink = Data.UpDatesPending();
                         Data.SetBrowseBuffer(brModified);
                         Sink = Data.RecordCount();
                         Data.SetBrowseBuffer(brStandard);
                       }));

  const std::string FileName = Directory + "/kelva.txt";
  auto SaveAndReload = [&](const std::string& Suffix) {
    Results.emplace_back("save" + Suffix, TimeMs([&] { Data.SaveTofile(FileName); }));
    Results.emplace_back("file_size" + Suffix,
                         static_cast<double>(std::filesystem::file_size(FileName)) / (1024 * 1024));
    Results.emplace_back("reload" + Suffix, TimeMs([&] {
                           TEventDataset Reloaded(nullptr);
                           Reloaded.LoadFromFile(FileName);
                           Sink = Reloaded.RecordCount();
                         }));
    std::filesystem::remove(FileName);
  };
  // With the edits still pending the file holds the committed records and the working copy:
  // twice the records of the state the SQL side saves, so it is reported on its own.
  SaveAndReload("_pending");

  // Settling pending changes: each is linear in the records at most, and settling one
  // record copies no list. Afterwards the dataset holds what the SQL side holds after its
  // committed update transaction.
  Data.SetBrowseBuffer(brModified);
  Data.First();
  const std::int32_t Modified = Data.RecordCount();
  const double FirstMs = TimeMs([&] { Data.CommitRecord(); });
  Results.emplace_back("commit_record", FirstMs);
  // The rest one by one, as an application settles them walking the modified view: each
  // commit leaves the view, so the cursor stays on the next one.
  const double RestMs = TimeMs([&] {
    for (std::int32_t I = 1; I < Modified; ++I) Data.CommitRecord();
  });
  if (Data.RecordCount() != 0) throw std::runtime_error("modified records left uncommitted");
  Results.emplace_back("commit_each", FirstMs + RestMs);
  Data.SetBrowseBuffer(brStandard);
  Results.emplace_back("commit_updates", TimeMs([&] { Data.CommitUpdates(); }));
  // The edit session is over: like the SQL side, the deletes below change the records
  // directly.
  Data.SetCachedUpdates(false);

  const std::vector<std::int32_t> Positions = RecNoPositions(Count);
  Results.emplace_back("recno", TimeMs([&] {
                         TField* Name = Data.FieldByName("NAME");
                         std::size_t Total = 0;
                         for (std::int32_t Position : Positions) {
                           Data.SetRecNo(Position);
                           Total += Name->AsString().size();
                         }
                         Sink = static_cast<double>(Total);
                       }));

  SaveAndReload("");

  double DeleteMs = 0;
  const std::int32_t Step = Data.RecordCount() / 100;
  for (std::int32_t I = 0; I < 100 && Step > 0; ++I) {
    Data.SetRecNo(Data.RecordCount() - I * Step - 1 > 0 ? Data.RecordCount() - I * Step - 1 : 1);
    DeleteMs += TimeMs([&] { Data.Delete(); });
  }
  Results.emplace_back("delete", DeleteMs);

  // A new cached-update session: its first change makes the working copy, one pass over the
  // list that shares every image.
  Data.SetCachedUpdates(true);
  Data.SetRecNo(Data.RecordCount() / 2);
  Results.emplace_back("first_cached_change", TimeMs([&] { Data.Delete(); }));
  Results.emplace_back("deleted_view", TimeMs([&] {
                         Data.SetBrowseBuffer(brDeleted);
                         Sink = Data.RecordCount();
                         Data.SetBrowseBuffer(brStandard);
                       }));
  return Results;
}

} // namespace kelva::bench
