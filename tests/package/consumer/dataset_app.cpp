// A consumer's program: fills a dataset, edits it with cached updates, saves it to a stream
// and loads it into a second dataset. Exits 0 only when every step gave what it should.
#include <kelva/dataset/KelvaDataset.h>

#include <cstdio>

using namespace kelva;

int main() {
  TEventDataset People(nullptr);
  TStringList Fields;
  Fields.Add("FIELD=NAME,CHAR,25");
  Fields.Add("FIELD=AGE,INTEGER,0");
  Fields.Add("FIELD=PAY,BCD,0");
  People.SetKLVFields(Fields);
  People.OnLoad = [](TKelvaDataset* Data, TKlvLoadAction) {
    Data->AppendRawRecord({"Ada", 36, Currency::FromScaled(41000'0000)});
    Data->AppendRawRecord({"Linus", 28, Variant()});
  };
  People.SetCachedUpdates(true);
  People.Open();
  if (!People.Locate("NAME", "Ada", {})) return 1;
  People.Edit();
  People.FieldByName("AGE")->SetAsInteger(37);
  People.Post();
  if (!People.UpDatesPending()) return 2;

  TStringStream Saved;
  People.SaveToStream(Saved);
  Saved.SetPosition(0);
  TEventDataset Copy(nullptr);
  Copy.LoadFromStream(Saved);
  if (Copy.RecordCount() != 2 || !Copy.UpDatesPending()) return 3;
  if (!Copy.Locate("NAME", "Ada", {})) return 4;
  if (Copy.FieldByName("AGE")->AsInteger() != 37) return 5;
  if (Copy.FieldByName("PAY")->AsCurrency() != Currency::FromInt64(41000)) return 6;
  std::printf("dataset_app: %d records, Ada is %d\n", Copy.RecordCount(),
              Copy.FieldByName("AGE")->AsInteger());
  return 0;
}
