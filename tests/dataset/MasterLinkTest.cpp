// The master link (circular links refused, the link dropped when its data source goes away)
// and refreshing through the load hook.
#include "OrderingSupport.h"

#include <memory>

namespace kelva {
namespace {

using namespace ordering_test;
using Names = std::vector<std::string>;

TEST(MasterLink, RefusesCircularLinksAndKeepsTheOldOne) {
  TEventDataset D(nullptr);
  TEventDataset Other(nullptr);
  TEventDataset Middle(nullptr);
  TDataSource OfD(nullptr);
  TDataSource OfOther(nullptr);
  TDataSource OfMiddle(nullptr);
  OfD.SetDataSet(&D);
  OfOther.SetDataSet(&Other);
  OfMiddle.SetDataSet(&Middle);
  D.SetMasterSource(&OfOther);
  EXPECT_EQ(ErrorOf([&] { D.SetMasterSource(&OfD); }), SCircularDataLink);
  EXPECT_EQ(D.MasterSource(), &OfOther);
  Middle.SetMasterSource(&OfD);
  EXPECT_EQ(ErrorOf([&] { D.SetMasterSource(&OfMiddle); }), SCircularDataLink);
  EXPECT_EQ(D.MasterSource(), &OfOther);
  D.SetMasterSource(nullptr);
  EXPECT_EQ(D.MasterSource(), nullptr);
}

TEST(MasterLink, ForgetsAMasterSourceThatGoesAway) {
  {
    SCOPED_TRACE("source with another owner");
    TEventDataset D(nullptr);
    auto* Owner = new TComponent(nullptr);
    D.SetMasterSource(new TDataSource(Owner));
    delete Owner;
    EXPECT_EQ(D.MasterSource(), nullptr);
  }
  {
    SCOPED_TRACE("source without owner");
    TEventDataset D(nullptr);
    auto Source = std::make_unique<TDataSource>(nullptr);
    D.SetMasterSource(Source.get());
    Source.reset();
    EXPECT_EQ(D.MasterSource(), nullptr);
  }
  {
    SCOPED_TRACE("source with the same owner");
    TComponent Owner(nullptr);
    auto* D = new TEventDataset(&Owner);
    auto* Source = new TDataSource(&Owner);
    D->SetMasterSource(Source);
    delete Source;
    EXPECT_EQ(D->MasterSource(), nullptr);
  }
  {
    SCOPED_TRACE("replaced source");
    auto First = std::make_unique<TDataSource>(nullptr);
    auto Second = std::make_unique<TDataSource>(nullptr);
    {
      TEventDataset D(nullptr);
      D.SetMasterSource(First.get());
      D.SetMasterSource(Second.get());
      First.reset();
      EXPECT_EQ(D.MasterSource(), Second.get());
    }
    // The detail went first: the source must not reach back to it (the sanitizer build
    // catches a dangling link).
    Second.reset();
  }
}

struct ReloadRig {
  TEventDataset D{nullptr};
  Names Supply{"ANN", "BOB"};
  std::vector<TKlvLoadAction> Loads;

  ReloadRig() {
    D.SetKLVFields(Lines({"FIELD=NAME,CHAR,10"}));
    D.OnLoad = [this](TKelvaDataset* Self, TKlvLoadAction Action) {
      Loads.push_back(Action);
      for (const std::string& Name : Supply) Self->AppendRawRecord({Name});
    };
    D.Open();
  }
};

TEST(Refresh, RefusedWhileUpdatesPendReloadsOnceCommitted) {
  ReloadRig Rig;
  TEventDataset& D = Rig.D;
  D.SetCachedUpdates(true);
  D.First();
  D.Edit();
  D.FieldByName("NAME")->SetAsString("AMY");
  D.Post();
  EXPECT_EQ(ErrorOf([&] { D.Refresh(); }), SklvRefreshError);
  D.Edit();
  D.FieldByName("NAME")->SetAsString("ABE");
  EXPECT_EQ(ErrorOf([&] { D.Refresh(); }), SklvRefreshError);
  EXPECT_EQ(D.State(), dsBrowse);
  EXPECT_TRUE(D.UpDatesPending());
  EXPECT_EQ(Column(D, "NAME"), (Names{"ABE", "BOB"}));
  EXPECT_EQ(Rig.Loads.size(), 1u);

  D.CommitUpdates();
  Rig.Supply = {"CAT"};
  D.Refresh();
  EXPECT_EQ(Rig.Loads, (std::vector<TKlvLoadAction>{laFirst, laFirst}));
  EXPECT_EQ(Column(D, "NAME"), Names{"CAT"});
}

} // namespace
} // namespace kelva
