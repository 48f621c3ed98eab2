// Faults injected at every point: streams that fail after k bytes while saving and loading,
// a save that fails part-way into a file, and handlers that raise at every hook. After each
// fault the store, the old file and the descriptions must be exactly as they were.
#include "OrderingSupport.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelva {
namespace {

// A memory stream that fails once Limit bytes have passed: writes raise, reads come short.
class TFailingStream : public TStringStream {
public:
  TFailingStream(const std::string& Data, std::int64_t Limit)
      : TStringStream(Data), FLimit(Limit) {}
  std::int64_t Write(const void* Buffer, std::int64_t Count) override {
    if (FPassed + Count > FLimit) throw EWriteError(SWriteError);
    FPassed += Count;
    return TStringStream::Write(Buffer, Count);
  }
  std::int64_t Read(void* Buffer, std::int64_t Count) override {
    const std::int64_t Allowed = std::max<std::int64_t>(0, std::min(Count, FLimit - FPassed));
    const std::int64_t Got = TStringStream::Read(Buffer, Allowed);
    FPassed += Got;
    return Got;
  }

private:
  std::int64_t FLimit;
  std::int64_t FPassed = 0;
};

std::string Saved(TKelvaDataset& Data) {
  TStringStream Stream;
  Data.SaveToStream(Stream);
  return Stream.DataString();
}

// A dataset with parameters, committed records and pending changes of every kind.
void OpenRich(TEventDataset& D) {
  D.SetFParamsDesc(ordering_test::Lines({"PARAM=CUSTNO,INTEGER"}));
  ordering_test::OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0", "FIELD=OK,BOOLEAN,0"},
                          {{"SMITH", 42, true}, {"JONES", 35, false}, {"BROWN", 50, Null()}});
  D.SetCachedUpdates(true);
  D.First();
  D.Edit();
  D.FieldByName("AGE")->SetAsInteger(43);
  D.Post();
  D.Next();
  D.Delete();
  D.AppendRecord({"GREEN", 20, true});
}

TEST(FaultInjection, SavingIntoAStreamThatFailsAtAnyByteChangesNothing) {
  TEventDataset D(nullptr);
  OpenRich(D);
  const std::string Before = Saved(D);
  for (std::int64_t Limit = 0; Limit < static_cast<std::int64_t>(Before.size()); ++Limit) {
    TFailingStream Stream("", Limit);
    EXPECT_THROW(D.SaveToStream(Stream), EWriteError) << Limit;
    ASSERT_EQ(Saved(D), Before) << Limit;
  }
}

TEST(FaultInjection, LoadingAStreamThatFailsAtAnyByteLeavesTheDatasetAsItWas) {
  TEventDataset Source(nullptr);
  OpenRich(Source);
  const std::string Text = Saved(Source);
  TEventDataset D(nullptr);
  D.SetKLVFields(ordering_test::Lines({"FIELD=OLD,CHAR,3"}));
  D.SetFParamsDesc(ordering_test::Lines({"PARAM=KEPT,CHAR"}));
  D.ParamByName("KEPT")->SetAsString("value");
  for (std::int64_t Limit = 0; Limit < static_cast<std::int64_t>(Text.size()); ++Limit) {
    TFailingStream Stream(Text, Limit);
    try {
      D.LoadFromStream(Stream);
      FAIL() << "a stream cut after " << Limit << " bytes loaded";
    } catch (const EDatabaseError& E) {
      ASSERT_EQ(E.Message(), SklvFicError) << Limit;
    }
    ASSERT_FALSE(D.Active()) << Limit;
    ASSERT_EQ(D.MetaFields().Text(), "FIELD=OLD,CHAR,3\r\n") << Limit;
    ASSERT_EQ(D.ParamsDesc().Text(), "PARAM=KEPT,CHAR\r\n") << Limit;
    ASSERT_EQ(D.ParamByName("KEPT")->AsString(), "value") << Limit;
  }
  TFailingStream Whole(Text, static_cast<std::int64_t>(Text.size()));
  D.LoadFromStream(Whole);
  EXPECT_EQ(Saved(D), Text);
}

// A dataset whose save fails after writing Limit bytes of its real text.
class TFailingSaveDataset : public TEventDataset {
public:
  using TEventDataset::TEventDataset;
  std::int64_t Limit = 0;
  void SaveToStream(TStream& Stream) override {
    TStringStream Full;
    TEventDataset::SaveToStream(Full);
    const std::string& Text = Full.DataString();
    Stream.WriteBuffer(Text.data(),
                       std::min<std::int64_t>(Limit, static_cast<std::int64_t>(Text.size())));
    throw EWriteError(SWriteError);
  }
};

TEST(FaultInjection, ASaveToFileThatFailsAnywhereKeepsTheOldFile) {
  const std::filesystem::path Directory =
      std::filesystem::temp_directory_path() / ("kelva-faults-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Directory);
  const std::string FileName = (Directory / "data.txt").string();
  {
    std::ofstream Old(FileName, std::ios::binary);
    Old << "the previous file\r\n";
  }
  TFailingSaveDataset D(nullptr);
  OpenRich(D);
  TStringStream Full;
  D.TEventDataset::SaveToStream(Full);
  const std::int64_t Length = static_cast<std::int64_t>(Full.DataString().size());
  for (std::int64_t Limit = 0; Limit <= Length; Limit += 7) {
    D.Limit = Limit;
    EXPECT_THROW(D.SaveTofile(FileName), EWriteError);
    std::ifstream In(FileName, std::ios::binary);
    std::stringstream Content;
    Content << In.rdbuf();
    ASSERT_EQ(Content.str(), "the previous file\r\n") << Limit;
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(Directory),
                            std::filesystem::directory_iterator()),
              1)
        << "a temporary file was left behind at " << Limit;
  }
  std::filesystem::remove_all(Directory);
}

// Every handler that runs before a change is stored refuses it; the store must not move.
struct THookCase {
  const char* Hook;
  const char* Operation;
};

class HandlerFaults : public ::testing::TestWithParam<THookCase> {};

TEST_P(HandlerFaults, ARaisingHandlerLeavesTheStoreAsItWas) {
  const THookCase Case = GetParam();
  TEventDataset D(nullptr);
  ordering_test::OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"},
                          {{"SMITH", 42}, {"JONES", 35}});
  const std::string Hook = Case.Hook;
  auto Raise = [](TDataSet*) { throw EDatabaseError("refused by the handler"); };
  if (Hook == "BeforeInsert") D.BeforeInsert = Raise;
  if (Hook == "OnNewRecord") D.OnNewRecord = Raise;
  if (Hook == "BeforeEdit") D.BeforeEdit = Raise;
  if (Hook == "BeforePost") D.BeforePost = Raise;
  if (Hook == "BeforeDelete") D.BeforeDelete = Raise;
  if (Hook == "OnUpdaterec")
    D.OnUpdaterec = [](TKelvaDataset*, TUpdateStatus) { throw EDatabaseError("refused"); };
  const std::string Before = Saved(D);
  const std::int32_t LastId = D.LastRecId();
  const std::string Operation = Case.Operation;
  D.Last();
  try {
    if (Operation == "append") {
      D.Append();
      D.FieldByName("NAME")->SetAsString("GREEN");
      D.Post();
    } else if (Operation == "insert") {
      D.InsertRecord({"GREEN", 20});
    } else if (Operation == "edit") {
      D.Edit();
      D.FieldByName("AGE")->SetAsInteger(99);
      D.Post();
    } else {
      D.Delete();
    }
    FAIL() << "the handler did not stop " << Operation;
  } catch (const EDatabaseError&) {}
  D.Cancel();
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_EQ(Saved(D), Before);
  EXPECT_EQ(D.LastRecId(), LastId);
  // The dataset stays usable once the handler lets changes through.
  D.BeforeInsert = D.OnNewRecord = D.BeforeEdit = D.BeforePost = D.BeforeDelete = nullptr;
  D.OnUpdaterec = nullptr;
  D.AppendRecord({"WHITE", 1});
  EXPECT_EQ(D.RecordCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    EveryHook, HandlerFaults,
    ::testing::Values(THookCase{"BeforeInsert", "append"}, THookCase{"OnNewRecord", "append"},
                      THookCase{"BeforePost", "append"}, THookCase{"OnUpdaterec", "append"},
                      THookCase{"BeforeInsert", "insert"}, THookCase{"OnUpdaterec", "insert"},
                      THookCase{"BeforeEdit", "edit"}, THookCase{"BeforePost", "edit"},
                      THookCase{"OnUpdaterec", "edit"}, THookCase{"BeforeDelete", "delete"},
                      THookCase{"OnUpdaterec", "delete"}),
    [](const ::testing::TestParamInfo<THookCase>& Info) {
      return std::string(Info.param.Hook) + "_" + Info.param.Operation;
    });

TEST(FaultInjection, RaisingCalculatedFieldAndFilterHandlersLeaveTheStoreAlone) {
  TEventDataset D(nullptr);
  auto* Name = new TStringField(&D);
  Name->SetFieldName("NAME");
  Name->SetSize(10);
  Name->SetDataSet(&D);
  auto* Age = new TIntegerField(&D);
  Age->SetFieldName("AGE");
  Age->SetDataSet(&D);
  auto* Calc = new TIntegerField(&D);
  Calc->SetFieldName("DOUBLE");
  Calc->SetFieldKind(fkCalculated);
  Calc->SetDataSet(&D);
  ordering_test::OpenWith(D, {"FIELD=NAME,CHAR,10", "FIELD=AGE,INTEGER,0"}, {{"SMITH", 42}});
  const std::string Before = Saved(D);
  // A failing calculation stops navigation, never the store.
  D.OnCalcFields = [](TDataSet*) { throw EDatabaseError("calculation failed"); };
  EXPECT_THROW(D.Last(), EDatabaseError);
  EXPECT_THROW(D.AppendRawRecord({"BROWN", 7}), EDatabaseError);
  D.OnCalcFields = nullptr;
  EXPECT_EQ(D.State(), dsBrowse); // the failed raw record was not left half-filled
  D.First();
  EXPECT_EQ(D.FieldByName("NAME")->AsString(), "SMITH");
  EXPECT_EQ(Saved(D), Before);

  int Reported = 0;
  Application->OnException = [&](TObject*, const Exception&) { ++Reported; };
  D.OnFilterRecord = [](TDataSet* Data, bool&) {
    Data->FieldByName("AGE")->SetAsInteger(1); // a write from inside the filter never lands
    throw EDatabaseError("filter failed");
  };
  D.SetFiltered(true);
  EXPECT_GT(Reported, 0);
  EXPECT_EQ(D.RecordCount(), 1);
  Application->OnException = nullptr;
  D.SetFiltered(false);
  EXPECT_EQ(Saved(D), Before);
}

} // namespace
} // namespace kelva
