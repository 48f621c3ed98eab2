// TSqlDatasetBridge: binds a TEventDataset to a table (or to a SELECT with key fields) of a
// TSqlConnection. Opening streams the rows into the dataset by raw loading, a page at a time
// when PageSize is set; ApplyUpdates writes the pending cached changes back in one
// transaction and commits in the dataset only what the database took.
//
//   TSqlDatasetBridge Bridge(nullptr);
//   Bridge.SetConnection(&Connection); Bridge.SetDataSet(&Customers);
//   Bridge.SetTableName("customers"); Bridge.SetKeyFields("ID"); Bridge.Open();
#pragma once

#include "kelva/dataset/EventDataset.h"
#include "kelva/sql/SqlConnection.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

// What an UPDATE or DELETE compares besides the key, to notice another user's change.
enum TSqlUpdateMode : std::uint8_t {
  upWhereKeyOnly, // the key fields' original values
  upWhereChanged, // and the original values of the fields this change modified
  upWhereAll      // and the original values of every field
};

enum TSqlUpdateKind : std::uint8_t { ukInsert, ukModify, ukDelete };

// The answer to a failed record: leave it pending, stop the whole apply, or run it again
// (after the handler removed the cause, in the database or in the bridge's settings).
enum TSqlErrorAction : std::uint8_t { eaSkip, eaAbort, eaRetry };

class TSqlDatasetBridge;

// DataSet shows the failed record (in the view of its kind of change).
using TSqlApplyErrorEvent =
    std::function<void(TSqlDatasetBridge* Sender, TKelvaDataset* DataSet, TSqlUpdateKind Kind,
                       const std::string& Message, TSqlErrorAction& Action)>;

class TSqlDatasetBridge : public TComponent {
public:
  explicit TSqlDatasetBridge(TComponent* AOwner);
  ~TSqlDatasetBridge() override;

  TSqlConnection* Connection() const { return FConnection; }
  void SetConnection(TSqlConnection* Value);
  // The bridge takes over the dataset's OnLoad and OnUpdate events.
  TEventDataset* DataSet() const { return FDataSet; }
  void SetDataSet(TEventDataset* Value);

  // The table changes are written to; without SelectSQL the bridge reads all of it.
  const std::string& TableName() const { return FTableName; }
  void SetTableName(const std::string& Value) { FTableName = Value; }
  // A SELECT whose ":name" parameters take the dataset's parameters of the same names.
  const std::string& SelectSQL() const { return FSelectSQL; }
  void SetSelectSQL(const std::string& Value) { FSelectSQL = Value; }
  // The fields that find a record in the table, separated by ';'.
  const std::string& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
  TSqlUpdateMode UpdateMode() const { return FUpdateMode; }
  void SetUpdateMode(TSqlUpdateMode Value) { FUpdateMode = Value; }
  // Rows fetched when the dataset asks for more; 0 fetches every row at once.
  std::int32_t PageSize() const { return FPageSize; }
  void SetPageSize(std::int32_t Value);
  // Failed records an apply tolerates: 0 none (all or nothing), N up to N, -1 any number.
  std::int32_t MaxErrors() const { return FMaxErrors; }
  void SetMaxErrors(std::int32_t Value);
  // The width of a text column that declares no length and holds no value yet.
  std::int32_t DefaultCharWidth() const { return FDefaultCharWidth; }
  void SetDefaultCharWidth(std::int32_t Value);

  // Opens the dataset on the query. Without MetaFields the bridge describes the columns;
  // given MetaFields must name columns of the result.
  void Open();
  // Reads the query again (the dataset keeps no pending changes through a refresh).
  void Refresh();
  // Writes the pending changes; returns how many records failed (and stay pending). When
  // more failed than MaxErrors allows, the database is rolled back, every change stays
  // pending and EDatabaseError reports the first failure.
  std::int32_t ApplyUpdates();

  TSqlApplyErrorEvent OnApplyError;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  class TApplyRun;
  std::string QueryText() const;
  std::unique_ptr<TSqlQuery> PrepareSelect();
  void BindParams(TSqlQuery& Query);
  void DescribeFields(TSqlQuery& Query);
  void MapColumns();
  void Load(TKlvLoadAction Action);
  void RunApply();
  void FetchRows(std::int32_t Limit);
  TSqlConnection& CheckedConnection() const;
  // The quoted name of the column Field was loaded from (the field's name may differ in case).
  std::string ColumnName(const TField& Field) const;
  TEventDataset& CheckedDataSet() const;

  TSqlConnection* FConnection = nullptr;
  TEventDataset* FDataSet = nullptr;
  std::string FTableName;
  std::string FSelectSQL;
  std::string FKeyFields;
  TSqlUpdateMode FUpdateMode = upWhereKeyOnly;
  std::int32_t FPageSize = 0;
  std::int32_t FMaxErrors = 0;
  std::int32_t FDefaultCharWidth = 255;

  std::unique_ptr<TSqlQuery> FCursor; // the running SELECT while rows are left to fetch
  bool FCursorUsed = false;           // FCursor has been read from: a reload prepares anew
  std::int32_t FLastFailures = 0;
  std::vector<TField*> FFieldOfColumn; // per column of the cursor, the field it fills or null
  std::map<std::string, std::string> FColumnNames; // field name to the column's own name
};

} // namespace kelva
