// The bridge's settings, opening and loading: the query is prepared once, its rows streamed
// into the dataset by raw loading, a page at a time when a page size is set.
#include "kelva/sql/SqlDatasetBridge.h"

#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"
#include "kelva/sql/ColumnTypes.h"
#include "kelva/sql/SqlText.h"
#include "kelva/sql/SqlValues.h"

#include <climits>

namespace kelva {

TSqlDatasetBridge::TSqlDatasetBridge(TComponent* AOwner) : TComponent(AOwner) {}

TSqlDatasetBridge::~TSqlDatasetBridge() {
  FCursor.reset();
  SetDataSet(nullptr);
  SetConnection(nullptr);
}

void TSqlDatasetBridge::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FConnection) {
    FCursor.reset(); // its statement belongs to the connection going away
    FConnection = nullptr;
  }
  if (AComponent == FDataSet) FDataSet = nullptr;
}

void TSqlDatasetBridge::SetConnection(TSqlConnection* Value) {
  if (Value == FConnection) return;
  FCursor.reset();
  if (FConnection) FConnection->RemoveFreeNotification(this);
  FConnection = Value;
  if (FConnection) FConnection->FreeNotification(this);
}

void TSqlDatasetBridge::SetDataSet(TEventDataset* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    FDataSet->OnLoad = nullptr;
    FDataSet->OnUpdate = nullptr;
    FDataSet->RemoveFreeNotification(this);
  }
  FDataSet = Value;
  if (!FDataSet) return;
  FDataSet->FreeNotification(this);
  FDataSet->OnLoad = [this](TKelvaDataset*, TKlvLoadAction Action) { Load(Action); };
  FDataSet->OnUpdate = [this](TKelvaDataset*) { RunApply(); };
}

void TSqlDatasetBridge::SetPageSize(std::int32_t Value) {
  if (Value < 0) DatabaseError("The page size cannot be negative");
  FPageSize = Value;
}

void TSqlDatasetBridge::SetMaxErrors(std::int32_t Value) {
  if (Value < -1) DatabaseError("MaxErrors is -1, 0 or a positive count");
  FMaxErrors = Value;
}

void TSqlDatasetBridge::SetDefaultCharWidth(std::int32_t Value) {
  if (Value <= 0) DatabaseError("The default text width must be positive");
  FDefaultCharWidth = Value;
}

std::string TSqlDatasetBridge::ColumnName(const TField& Field) const {
  const auto Found = FColumnNames.find(Field.FieldName());
  return QuoteIdentifier(Found == FColumnNames.end() ? Field.FieldName() : Found->second);
}

TSqlConnection& TSqlDatasetBridge::CheckedConnection() const {
  if (!FConnection) DatabaseError("Bridge " + Name() + " has no connection");
  if (!FConnection->Connected()) FConnection->Open();
  return *FConnection;
}

TEventDataset& TSqlDatasetBridge::CheckedDataSet() const {
  if (!FDataSet) DatabaseError("Bridge " + Name() + " has no dataset");
  return *FDataSet;
}

std::string TSqlDatasetBridge::QueryText() const {
  if (!FSelectSQL.empty()) return FSelectSQL;
  if (FTableName.empty()) DatabaseError("Bridge " + Name() + " has neither a table nor a query");
  return "SELECT * FROM " + QuoteIdentifier(FTableName);
}

void TSqlDatasetBridge::BindParams(TSqlQuery& Query) {
  TEventDataset& Data = CheckedDataSet();
  for (const std::string& Name : Query.ParamNames()) {
    if (Name.empty())
      DatabaseError("The query of bridge " + this->Name() +
                    " has a '?' parameter; "
                    "name its parameters (:NAME) after the dataset's");
    TParam* Param = Data.Params().FindParam(Name);
    if (!Param) DatabaseError("The dataset has no parameter " + Name + " for the query");
    Query.BindByName(Name, Param->Value());
  }
}

std::unique_ptr<TSqlQuery> TSqlDatasetBridge::PrepareSelect() {
  std::unique_ptr<TSqlQuery> Query = CheckedConnection().Prepare(QueryText());
  BindParams(*Query);
  return Query;
}

void TSqlDatasetBridge::DescribeFields(TSqlQuery& Query) {
  TSqlStatement& Statement = Query.Statement();
  std::vector<TSqlColumn> Columns;
  for (std::int32_t I = 0; I < Statement.ColumnCount(); ++I) Columns.push_back(Statement.Column(I));
  // Text columns are as wide as their widest value in bytes, or their declared length.
  std::vector<std::int32_t> Widest(Columns.size(), 0);
  std::vector<std::size_t> Measured;
  std::string Measure;
  for (std::size_t I = 0; I < Columns.size(); ++I)
    if (TypeWordOf(Columns[I].DeclaredType) == "CHAR") {
      Measure += Measure.empty() ? "SELECT " : ", ";
      Measure += "max(" + CheckedConnection().ByteLength(QuoteIdentifier(Columns[I].Name)) + ")";
      Measured.push_back(I);
    }
  if (!Measure.empty()) {
    std::unique_ptr<TSqlQuery> Widths =
        CheckedConnection().Prepare(Measure + " FROM (" + QueryText() + ") AS kelva_widths");
    BindParams(*Widths);
    TSqlStatement& Row = Widths->Statement();
    if (Row.Step())
      for (std::size_t Next = 0; Next < Measured.size(); ++Next) {
        const auto Column = static_cast<std::int32_t>(Next);
        std::int32_t Width = 0;
        if (!Row.IsNull(Column)) TryStrToInt(Row.Text(Column), Width);
        Widest[Measured[Next]] = Width;
      }
    while (Row.Step()) {}
  }
  TStringList Lines;
  for (const std::string& Line : DescribeColumns(Columns, Widest, FDefaultCharWidth))
    Lines.Add(Line);
  CheckedDataSet().SetKLVFields(Lines);
}

void TSqlDatasetBridge::MapColumns() {
  TEventDataset& Data = CheckedDataSet();
  TSqlStatement& Statement = FCursor->Statement();
  FFieldOfColumn.assign(static_cast<std::size_t>(Statement.ColumnCount()), nullptr);
  std::vector<bool> Filled(static_cast<std::size_t>(Data.FieldCount()), false);
  for (std::int32_t I = 0; I < Statement.ColumnCount(); ++I)
    if (TField* Field = Data.FindField(Statement.Column(I).Name); Field && Field->FieldNo() > 0) {
      FFieldOfColumn[static_cast<std::size_t>(I)] = Field;
      FColumnNames[Field->FieldName()] = Statement.Column(I).Name;
      Filled[static_cast<std::size_t>(Field->Index())] = true;
    }
  for (std::int32_t I = 0; I < Data.FieldCount(); ++I)
    if (!Filled[static_cast<std::size_t>(I)] && Data.Fields()[I]->FieldNo() > 0)
      DatabaseError("Field " + Data.Fields()[I]->FieldName() + " of " + Data.Name() +
                    " is not a column of the query");
}

void TSqlDatasetBridge::Open() {
  TEventDataset& Data = CheckedDataSet();
  Data.Close();
  FCursor.reset();
  try {
    std::unique_ptr<TSqlQuery> Query = PrepareSelect();
    if (Data.MetaFields().Count() == 0) DescribeFields(*Query);
    FCursor = std::move(Query);
    FCursorUsed = false;
    Data.Open(); // the open asks for the first rows (Load with laFirst)
  } catch (...) {
    FCursor.reset();
    Data.Close(); // a failed first load leaves no half-open dataset behind
    throw;
  }
}

void TSqlDatasetBridge::Refresh() {
  TEventDataset& Data = CheckedDataSet();
  if (Data.Active() && Data.CachedUpdates() && Data.UpDatesPending())
    DatabaseError("Apply or cancel the pending changes of " + Data.Name() + " before refreshing");
  Open();
}

void TSqlDatasetBridge::Load(TKlvLoadAction Action) {
  if (Action == laFirst) {
    // A reload (for a master record's new parameters) runs the query afresh.
    if (!FCursor || FCursorUsed) FCursor = PrepareSelect();
    FCursorUsed = true;
    MapColumns();
  }
  if (!FCursor) return; // every row is in
  FetchRows(Action == LaAll ? 0 : FPageSize);
}

void TSqlDatasetBridge::FetchRows(std::int32_t Limit) {
  TEventDataset& Data = CheckedDataSet();
  TSqlStatement& Statement = FCursor->Statement();
  std::vector<Variant> Values(static_cast<std::size_t>(Data.FieldCount()));
  std::int32_t Fetched = 0;
  while (Limit == 0 || Fetched < Limit) {
    if (!Statement.Step()) {
      FCursor.reset();
      return;
    }
    std::fill(Values.begin(), Values.end(), Null());
    for (std::size_t I = 0; I < FFieldOfColumn.size(); ++I) {
      TField* Field = FFieldOfColumn[I];
      const auto Column = static_cast<std::int32_t>(I);
      if (!Field || Statement.IsNull(Column)) continue;
      Variant& Value = Values[static_cast<std::size_t>(Field->Index())];
      const TFieldType Type = Field->DataType();
      std::int64_t Integer = 0;
      double Real = 0;
      if ((Type == ftInteger || Type == ftSmallint) && Statement.ReadInteger(Column, Integer) &&
          Integer >= INT32_MIN && Integer <= INT32_MAX)
        Value = static_cast<std::int32_t>(Integer);
      else if (Type == ftFloat && Statement.ReadReal(Column, Real))
        Value = Real;
      else
        Value = ValueFromSqlText(Type, Statement.Text(Column), Statement.Column(Column).Name);
    }
    Data.AppendRawRecord(Values);
    ++Fetched;
  }
}

std::int32_t TSqlDatasetBridge::ApplyUpdates() {
  TEventDataset& Data = CheckedDataSet();
  FLastFailures = 0;
  Data.ApplyUpdates(); // hands the pending changes to OnUpdate, that is to RunApply
  return FLastFailures;
}

} // namespace kelva
