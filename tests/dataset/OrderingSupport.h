// Helpers shared by the tests of parameters, the text format, sorting, filtering, searching,
// the master link and cloning: datasets filled on open, walks over a column, the message of
// an expected error, and a recorder for the application's exception reporter.
#pragma once

#include "kelva/dataset/KelvaDataset.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace kelva::ordering_test {

// A TEventDataset whose record lists tests may inspect.
class TListedDataset : public TEventDataset {
public:
  using TEventDataset::TEventDataset;
  using TKelvaDataset::CachedBuf;
  using TKelvaDataset::CommittedBuf;
  using TKelvaDataset::DeletedBuf;
  using TKelvaDataset::InternalBuf;
};

using TRows = std::vector<std::vector<Variant>>;

inline TStringList Lines(std::initializer_list<std::string> Items) {
  TStringList List;
  for (const std::string& Item : Items) List.Add(Item);
  return List;
}

// Describes D with Fields and makes its first load after every open raw-load Rows.
inline void Fill(TEventDataset& D, std::initializer_list<std::string> Fields, TRows Rows) {
  D.SetKLVFields(Lines(Fields));
  D.OnLoad = [Rows = std::move(Rows)](TKelvaDataset* Self, TKlvLoadAction Action) {
    if (Action != laFirst) return;
    for (const std::vector<Variant>& Row : Rows) Self->AppendRawRecord(Row);
  };
}

inline void OpenWith(TEventDataset& D, std::initializer_list<std::string> Fields, TRows Rows) {
  Fill(D, Fields, std::move(Rows));
  D.Open();
}

// The text of Field in every visible record, first to last (the walk moves the cursor).
inline std::vector<std::string> Column(TDataSet& D, const std::string& Field) {
  std::vector<std::string> Values;
  for (D.First(); !D.Eof(); D.Next()) Values.push_back(D.FieldByName(Field)->AsString());
  return Values;
}

// The message of the exception of type E that Action raises; a test failure otherwise.
template <class E = EDatabaseError>
std::string ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const E& Error) {
    return Error.Message();
  } catch (const std::exception& Error) {
    ADD_FAILURE() << "unexpected exception: " << Error.what();
    return "";
  }
  ADD_FAILURE() << "no exception raised";
  return "";
}

// Records what reaches Application->HandleException while it lives.
class TReportedErrors {
public:
  TReportedErrors() : FSaved(Application->OnException) {
    Application->OnException = [this](TObject*, const Exception& E) {
      Messages.push_back(E.Message());
    };
  }
  ~TReportedErrors() { Application->OnException = FSaved; }
  TReportedErrors(const TReportedErrors&) = delete;
  TReportedErrors& operator=(const TReportedErrors&) = delete;

  std::vector<std::string> Messages;

private:
  TExceptionEvent FSaved;
};

// Gives D, before it opens, persistent fields NAME (CHAR 10) and AGE (INTEGER) and a
// calculated INTEGER field TWICE holding AGE * 2. The dataset frees the fields.
inline void AddTwiceField(TEventDataset& D) {
  D.SetKLVFields(Lines({"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"}));
  auto* Name = new TStringField(nullptr);
  Name->SetFieldName("NAME");
  Name->SetSize(10);
  Name->SetDataSet(&D);
  auto* Age = new TIntegerField(nullptr);
  Age->SetFieldName("AGE");
  Age->SetDataSet(&D);
  auto* Twice = new TIntegerField(nullptr);
  Twice->SetFieldName("TWICE");
  Twice->SetFieldKind(fkCalculated);
  Twice->SetDataSet(&D);
  D.OnCalcFields = [](TDataSet* Self) {
    TField* AgeField = Self->FieldByName("AGE");
    if (!AgeField->IsNull()) Self->FieldByName("TWICE")->SetAsInteger(AgeField->AsInteger() * 2);
  };
}

} // namespace kelva::ordering_test
