// Writing the dataset's pending changes to the table: deletions, then modifications, then
// insertions, each record by a prepared statement with bound values, all in one
// transaction. Only once the database committed are the written records committed in the
// dataset (with the values the database generated for inserted ones); a rolled-back apply
// leaves every change pending.
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/sql/SqlDatasetBridge.h"
#include "kelva/sql/SqlText.h"
#include "kelva/sql/SqlValues.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>

namespace kelva {

namespace {

constexpr int MaxRetries = 100; // a handler that always answers "retry" cannot hang the apply

std::int32_t RecIdOf(TDataSet& Data) {
  const TBookmark Mark = Data.GetBookmark();
  std::int32_t RecId = 0;
  if (Mark.size() >= sizeof RecId) std::memcpy(&RecId, Mark.data(), sizeof RecId);
  return RecId;
}

bool SameValue(const Variant& A, const Variant& B) {
  if (VarIsNull(A) || VarIsNull(B)) return VarIsNull(A) == VarIsNull(B);
  return VarCompareValue(A, B) == vrEqual;
}

struct TGenerated {
  TBookmark Mark;
  std::vector<std::pair<TField*, Variant>> Values;
};

} // namespace

class TSqlDatasetBridge::TApplyRun {
public:
  explicit TApplyRun(TSqlDatasetBridge& Bridge)
      : FBridge(Bridge), FData(Bridge.CheckedDataSet()), FConnection(Bridge.CheckedConnection()) {
    if (FBridge.FTableName.empty())
      DatabaseError("Bridge " + FBridge.Name() + " has no table to write changes to");
    FTable = QuoteIdentifier(FBridge.FTableName);
    for (std::int32_t I = 0; I < FData.FieldCount(); ++I)
      if (TField* Field = FData.Fields()[I]; Field->FieldNo() > 0) FColumns.push_back(Field);
    std::string Keys = FBridge.FKeyFields;
    while (!Keys.empty()) {
      const std::size_t Split = Keys.find(';');
      const std::string Name = Trim(Keys.substr(0, Split));
      Keys = Split == std::string::npos ? "" : Keys.substr(Split + 1);
      if (!Name.empty()) FKeys.push_back(FData.FieldByName(Name));
    }
    if (FKeys.empty()) DatabaseError("Bridge " + FBridge.Name() + " has no key fields");
  }

  // The number of failed records; raises when the apply was rolled back.
  std::int32_t Run() {
    if (FConnection.InTransaction())
      DatabaseError("Connection " + FConnection.Name() + " is already in a transaction");
    FData.DisableControls();
    const TBookmark Position = FData.GetBookmark();
    try {
      RunInTransaction();
    } catch (...) {
      FData.SetBrowseBuffer(brStandard);
      ReturnTo(Position);
      FData.EnableControls();
      throw;
    }
    ReturnTo(Position);
    FData.EnableControls();
    return FFailures;
  }

  // The record that was current before, when it is still there.
  void ReturnTo(const TBookmark& Position) {
    if (!Position.empty() && FData.BookmarkValid(Position)) FData.GotoBookmark(Position);
  }

private:
  void RunInTransaction() {
    FConnection.StartTransaction();
    try {
      WriteView(brDeleted, ukDelete);
      WriteView(brModified, ukModify);
      WriteView(brInserted, ukInsert);
      FData.SetBrowseBuffer(brStandard);
      FConnection.Commit();
    } catch (...) {
      try {
        if (FConnection.InTransaction()) FConnection.Rollback();
      } catch (...) {
        // A lost connection has rolled back on the server already.
      }
      throw;
    }
    // The database holds the changes: the dataset now takes them as committed, all at once
    // when every pending change was written, else record by record.
    WriteBackGenerated();
    if (FFailures == 0) {
      FData.CommitUpdates();
      return;
    }
    for (const auto& [View, Written] : FWritten) CommitWritten(View, Written);
    FData.SetBrowseBuffer(brStandard);
  }

  void WriteView(TklvBrowseBuffer View, TSqlUpdateKind Kind) {
    FData.SetBrowseBuffer(View);
    for (FData.First(); !FData.Eof(); FData.Next()) {
      const std::int32_t RecId = RecIdOf(FData);
      if (WriteRecord(Kind)) FWritten[View].insert(RecId);
    }
  }

  // True when the record is in the database now.
  bool WriteRecord(TSqlUpdateKind Kind) {
    const bool Isolate = FBridge.FMaxErrors != 0; // a failed record must not spoil the rest
    for (int Attempt = 0;; ++Attempt) {
      try {
        if (Isolate) FConnection.ExecuteDirect("SAVEPOINT kelva_record");
        switch (Kind) {
        case ukInsert:
          Insert();
          break;
        case ukModify:
          Modify();
          break;
        case ukDelete:
          Delete();
          break;
        }
        if (Isolate) FConnection.ExecuteDirect("RELEASE SAVEPOINT kelva_record");
        return true;
      } catch (const EDatabaseError& E) {
        if (Isolate) {
          try {
            FConnection.ExecuteDirect("ROLLBACK TO SAVEPOINT kelva_record");
          } catch (const EDatabaseError&) {
            // The connection itself failed: the next statement reports it.
          }
        }
        TSqlErrorAction Action = eaSkip;
        if (FBridge.OnApplyError) FBridge.OnApplyError(&FBridge, &FData, Kind, E.Message(), Action);
        if (Action == eaRetry && Attempt < MaxRetries) continue;
        ++FFailures;
        if (Action == eaAbort) DatabaseError("Applying the changes was aborted: " + E.Message());
        if (FBridge.FMaxErrors >= 0 && FFailures > FBridge.FMaxErrors) throw;
        return false;
      }
    }
  }

  // The statement of a shape (the kind of change and which columns take part), prepared once
  // per apply: Build writes its text the first time the shape is met.
  TSqlQuery& Statement(const std::string& Shape, const std::function<std::string()>& Build) {
    std::unique_ptr<TSqlQuery>& Query = FStatements[Shape];
    if (!Query) Query = FConnection.Prepare(Build());
    Query->Statement().Reset();
    return *Query;
  }

  // One character per column: '1' for those in Fields.
  std::string ShapeOf(char Kind, const std::vector<TField*>& Fields) const {
    std::string Shape(FColumns.size() + 1, '0');
    Shape[0] = Kind;
    for (TField* Field : Fields)
      Shape[static_cast<std::size_t>(std::find(FColumns.begin(), FColumns.end(), Field) -
                                     FColumns.begin()) +
            1] = '1';
    return Shape;
  }

  // "key = ?" for every key field, and a comparison for each field the update mode adds.
  // Keys are compared with "=", which the table's index serves (a null-safe comparison makes
  // PostgreSQL scan the whole table for each record); the other original values may be null.
  std::string WhereClause(const std::vector<TField*>& Compared) {
    std::string Where;
    for (TField* Field : Compared) {
      Where += Where.empty() ? " WHERE " : " AND ";
      const std::string Column = FBridge.ColumnName(*Field);
      Where += std::find(FKeys.begin(), FKeys.end(), Field) != FKeys.end()
                   ? Column + " = ?"
                   : FConnection.NullSafeEquals(Column, "?");
    }
    return Where;
  }

  std::vector<TField*> ComparedFields(const std::vector<TField*>& Changed) {
    std::vector<TField*> Compared = FKeys;
    const auto Add = [&Compared](TField* Field) {
      if (std::find(Compared.begin(), Compared.end(), Field) == Compared.end())
        Compared.push_back(Field);
    };
    if (FBridge.FUpdateMode == upWhereChanged)
      for (TField* Field : Changed) Add(Field);
    if (FBridge.FUpdateMode == upWhereAll)
      for (TField* Field : FColumns) Add(Field);
    return Compared;
  }

  static void CheckOneRow(TSqlStatement& Statement) {
    if (Statement.RowsAffected() != 1)
      DatabaseError(Statement.RowsAffected() == 0
                        ? "The record was changed or deleted by another user"
                        : "The key fields found " + std::to_string(Statement.RowsAffected()) +
                              " records instead of one");
  }

  void Insert() {
    // A key left empty is the database's to generate.
    std::vector<TField*> Given;
    for (TField* Field : FColumns)
      if (!Field->IsNull() || std::find(FKeys.begin(), FKeys.end(), Field) == FKeys.end())
        Given.push_back(Field);
    TSqlQuery& Query = Statement(ShapeOf('I', Given), [&] {
      std::string Names, Marks, Returned;
      for (TField* Field : Given) {
        Names += (Names.empty() ? "" : ", ") + FBridge.ColumnName(*Field);
        Marks += Marks.empty() ? "?" : ", ?";
      }
      for (TField* Field : FColumns)
        Returned += (Returned.empty() ? "" : ", ") + FBridge.ColumnName(*Field);
      return "INSERT INTO " + FTable + " (" + Names + ") VALUES (" + Marks + ") RETURNING " +
             Returned;
    });
    std::int32_t Index = 0;
    for (TField* Field : Given)
      Query.Statement().Bind(++Index, SqlParamValue(*Field, Field->Value()));
    TSqlStatement& Run = Query.Statement();
    if (!Run.Step()) DatabaseError("The database returned no row for the inserted record");
    // Values the database chose (a generated key, a default) go back into the record.
    TGenerated Generated{FData.GetBookmark(), {}};
    for (std::int32_t Column = 0; Column < Run.ColumnCount(); ++Column) {
      TField* Field = FColumns[static_cast<std::size_t>(Column)];
      if (!Field->IsNull() || Run.IsNull(Column)) continue;
      Generated.Values.emplace_back(
          Field, ValueFromSqlText(Field->DataType(), Run.Text(Column), Field->FieldName()));
    }
    while (Run.Step()) {}
    if (!Generated.Values.empty()) FGenerated.push_back(std::move(Generated));
  }

  void Modify() {
    // Each value is read once: an original value is looked up in the committed records.
    std::vector<Variant> Old(FColumns.size()), New(FColumns.size());
    std::vector<TField*> Changed;
    for (std::size_t I = 0; I < FColumns.size(); ++I) {
      Old[I] = FColumns[I]->OldValue();
      New[I] = FColumns[I]->Value();
      if (!SameValue(Old[I], New[I])) Changed.push_back(FColumns[I]);
    }
    if (Changed.empty()) return; // nothing the table holds differs
    const auto ValueOf = [&](const std::vector<Variant>& Values, TField* Field) -> const Variant& {
      return Values[static_cast<std::size_t>(std::find(FColumns.begin(), FColumns.end(), Field) -
                                             FColumns.begin())];
    };
    const std::vector<TField*> Compared = ComparedFields(Changed);
    // The compared fields follow from the changed ones and the update mode.
    TSqlQuery& Query = Statement(ShapeOf('U', Changed), [&] {
      std::string Set;
      for (TField* Field : Changed)
        Set += (Set.empty() ? "" : ", ") + FBridge.ColumnName(*Field) + " = ?";
      return "UPDATE " + FTable + " SET " + Set + WhereClause(Compared);
    });
    std::int32_t Index = 0;
    for (TField* Field : Changed)
      Query.Statement().Bind(++Index, SqlParamValue(*Field, ValueOf(New, Field)));
    for (TField* Field : Compared)
      Query.Statement().Bind(++Index, SqlParamValue(*Field, ValueOf(Old, Field)));
    Query.Statement().Step();
    CheckOneRow(Query.Statement());
  }

  void Delete() {
    // A record inserted and deleted again before any apply never reached the table.
    bool Committed = false;
    for (TField* Key : FKeys) Committed = Committed || !VarIsNull(Key->OldValue());
    if (!Committed) return;
    const std::vector<TField*> Compared = ComparedFields({});
    TSqlQuery& Query = Statement(ShapeOf('D', {}),
                                 [&] { return "DELETE FROM " + FTable + WhereClause(Compared); });
    std::int32_t Index = 0;
    for (TField* Field : Compared)
      Query.Statement().Bind(++Index, SqlParamValue(*Field, Field->OldValue()));
    Query.Statement().Step();
    CheckOneRow(Query.Statement());
  }

  void WriteBackGenerated() {
    FData.SetBrowseBuffer(brStandard);
    for (const TGenerated& Record : FGenerated) {
      FData.GotoBookmark(Record.Mark);
      FData.Edit();
      for (const auto& [Field, Value] : Record.Values) Field->SetValue(Value);
      FData.Post();
    }
  }

  void CommitWritten(TklvBrowseBuffer View, const std::set<std::int32_t>& Written) {
    FData.SetBrowseBuffer(View);
    FData.First();
    while (!FData.Eof()) {
      if (Written.count(RecIdOf(FData)))
        FData.CommitRecord(); // leaves the view: the cursor is on the next record already
      else
        FData.Next();
    }
  }

  TSqlDatasetBridge& FBridge;
  TEventDataset& FData;
  TSqlConnection& FConnection;
  std::string FTable;
  std::vector<TField*> FColumns;
  std::vector<TField*> FKeys;
  std::map<std::string, std::unique_ptr<TSqlQuery>> FStatements;
  std::map<TklvBrowseBuffer, std::set<std::int32_t>> FWritten;
  std::vector<TGenerated> FGenerated;
  std::int32_t FFailures = 0;
};

void TSqlDatasetBridge::RunApply() {
  TApplyRun Run(*this);
  FLastFailures = Run.Run();
}

} // namespace kelva
