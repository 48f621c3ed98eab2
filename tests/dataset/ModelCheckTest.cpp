// Randomized model check of the event-driven dataset: long random sequences of editing,
// cached-update, view, ordering, persistence and refresh operations are applied both to a
// dataset and to a plain reference model, and the two are compared after every step.
#include "kelva/dataset/EventDataset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kelva::model_check {
namespace {

// ---- The reference model ------------------------------------------------------------------

struct Rec {
  std::int32_t Id = 0;
  std::string Name; // "" is null: a blank text slot
  std::optional<int> Age;
  bool SameValues(const Rec& Other) const { return Name == Other.Name && Age == Other.Age; }
};
using List = std::vector<Rec>;

std::string Show(const Rec& R) {
  std::ostringstream Out;
  Out << R.Id << ":" << (R.Name.empty() ? "~" : R.Name) << "/";
  if (R.Age)
    Out << *R.Age;
  else
    Out << "~";
  return Out.str();
}
std::string Show(const List& L) {
  std::string Text = "[";
  for (const Rec& R : L) {
    if (Text.size() > 1) Text += ' ';
    Text += Show(R);
  }
  return Text + "]";
}

int IndexOfId(const List& L, std::int32_t Id) {
  for (std::size_t I = 0; I < L.size(); ++I)
    if (L[I].Id == Id) return static_cast<int>(I);
  return -1;
}

// Committed records, the working copy while one exists, and the deleted entries. Pending
// changes are derived from them exactly as the dataset derives them.
struct Model {
  bool Cached = false;
  List Committed;
  std::optional<List> Work;
  List Deleted;

  List& View() { return Work ? *Work : Committed; }
  void MakeWork() {
    if (Cached && !Work) {
      Work = Committed;
      Deleted.clear();
    }
  }
  void DropWork() {
    Work.reset();
    Deleted.clear();
  }
  List Modified() const {
    List Out;
    if (!Work) return Out;
    for (const Rec& R : *Work) {
      const int J = IndexOfId(Committed, R.Id);
      if (J >= 0 && !Committed[J].SameValues(R)) Out.push_back(R);
    }
    return Out;
  }
  List Inserted() const {
    List Out;
    if (!Work) return Out;
    for (const Rec& R : *Work)
      if (IndexOfId(Committed, R.Id) < 0) Out.push_back(R);
    return Out;
  }
  bool Pending() const {
    return Work && (!Deleted.empty() || !Modified().empty() || !Inserted().empty());
  }
  // A new record goes into Committed after the committed version of the record that precedes
  // it in Source, or first when that one is not committed.
  void CommitAfterPredecessor(const List& Source, int Index) {
    int Q = -1;
    if (Index > 0) Q = IndexOfId(Committed, Source[Index - 1].Id);
    const std::size_t Pos = static_cast<std::size_t>(Q + 1);
    if (Pos >= Committed.size())
      Committed.push_back(Source[Index]);
    else
      Committed.insert(Committed.begin() + Pos, Source[Index]);
  }
};

// ---- Operations -------------------------------------------------------------------------------

enum OpKind : int {
  opAppendRaw,
  opAppendRecord,
  opInsertRecord,
  opEditPost,
  opEditCancel,
  opDelete,
  opToggleCached,
  opCommitRecord,
  opRevertRecord,
  opCommitInView,
  opRevertInView,
  opCommitUpdates,
  opCancelUpdates,
  opSort,
  opLocate,
  opSaveLoad,
  opClone,
  opRefresh,
  opCount
};

const char* const KindNames[opCount] = {
    "AppendRaw",    "AppendRecord",  "InsertRecord",  "EditPost",     "EditCancel",
    "Delete",       "ToggleCached",  "CommitRecord",  "RevertRecord", "CommitInView",
    "RevertInView", "CommitUpdates", "CancelUpdates", "Sort",         "Locate",
    "SaveLoad",     "Clone",         "Refresh"};

// Every parameter is drawn in advance, so that a recorded sequence replays identically and
// single operations can be dropped from it; positions are taken modulo the current size.
struct Op {
  OpKind Kind = opAppendRaw;
  unsigned Pos = 0;
  unsigned NameIx = 0;
  unsigned AgeIx = 0;
  unsigned Aux = 0;
};

const std::vector<std::string> NameValues = {"", "A", "AB", "B", "C", "A"};
const std::vector<std::optional<int>> AgeValues = {std::nullopt, -1, 0, 5, 30, 5};

std::string Show(const Op& O) {
  std::ostringstream Out;
  Out << KindNames[O.Kind] << "(pos=" << O.Pos << " name=\""
      << NameValues[O.NameIx % NameValues.size()] << "\" age=";
  const auto& Age = AgeValues[O.AgeIx % AgeValues.size()];
  if (Age)
    Out << *Age;
  else
    Out << "null";
  Out << " aux=" << O.Aux << ")";
  return Out.str();
}

Op RandomOp(std::mt19937& Rng) {
  // Weights favour the changes so that pending lists fill up; the rest settle or examine.
  static const int Weights[opCount] = {5, 5, 5, 8, 2, 5, 2, 3, 3, 4, 4, 1, 1, 2, 2, 1, 1, 1};
  std::discrete_distribution<int> Pick(std::begin(Weights), std::end(Weights));
  Op O;
  O.Kind = static_cast<OpKind>(Pick(Rng));
  O.Pos = Rng() % 64;
  O.NameIx = Rng() % NameValues.size();
  O.AgeIx = Rng() % AgeValues.size();
  O.Aux = Rng() % 12;
  return O;
}

// ---- The dataset under test ------------------------------------------------------------------

class TModelDataset : public TEventDataset {
public:
  TModelDataset() : TEventDataset(nullptr) {
    TStringList Lines;
    Lines.Add("FIELD=NAME,CHAR,8");
    Lines.Add("FIELD=AGE,INTEGER,0");
    SetKLVFields(Lines);
  }
};

Variant NameVariant(const std::string& Name) {
  return Name.empty() ? Variant::MakeNull() : Variant(Name);
}
Variant AgeVariant(const std::optional<int>& Age) {
  return Age ? Variant(*Age) : Variant::MakeNull();
}

std::int32_t CurrentId(TDataSet& D) {
  const TBookmark B = D.GetBookmark();
  std::int32_t Id = -1;
  if (B.size() == sizeof(Id)) std::memcpy(&Id, B.data(), sizeof(Id));
  return Id;
}

Rec CurrentRec(TDataSet& D) {
  Rec R;
  R.Id = CurrentId(D);
  R.Name = D.FieldByName("NAME")->AsString();
  TField* Age = D.FieldByName("AGE");
  if (!Age->IsNull()) R.Age = Age->AsInteger();
  return R;
}

// The records of the current view in view order, with their identifiers.
List Walk(TDataSet& D) {
  List Out;
  for (D.First(); !D.Eof(); D.Next()) {
    Out.push_back(CurrentRec(D));
    if (Out.size() > 10000) break; // a cursor that never reaches the end
  }
  return Out;
}

bool SameList(const List& A, const List& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (A[I].Id != B[I].Id || !A[I].SameValues(B[I])) return false;
  return true;
}

std::string CompareList(const char* What, const List& Got, const List& Want) {
  if (SameList(Got, Want)) return {};
  return std::string(What) + ": dataset " + Show(Got) + ", model " + Show(Want);
}

// Compares the whole observable state of D with the model M; WantWork is whether a working
// copy must exist. Leaves D in the standard view.
std::string CompareState(TModelDataset& D, const Model& M, bool WantWork) {
  if (!D.Active()) return "dataset is closed";
  if (D.State() != dsBrowse) return "dataset not in browse state";
  if (D.BrowseBuffer() != brStandard) return "dataset not in the standard view";
  if (D.CachedBufActive() != WantWork)
    return std::string("working copy ") + (WantWork ? "missing" : "unexpected");
  if (D.UpDatesPending() != M.Pending())
    return std::string("UpDatesPending is ") + (M.Pending() ? "False" : "True");
  std::string Error = CompareList("standard view", Walk(D), M.Work ? *M.Work : M.Committed);
  if (!Error.empty()) return Error;
  if (!WantWork) {
    D.SetBrowseBuffer(brInserted);
    if (D.BrowseBuffer() != brStandard) {
      D.SetBrowseBuffer(brStandard);
      return "a view was selected without a working copy";
    }
    return {};
  }
  const struct {
    TklvBrowseBuffer View;
    const char* Name;
    List Want;
  } Views[] = {{brold, "old view", M.Committed},
               {brModified, "modified view", M.Modified()},
               {brInserted, "inserted view", M.Inserted()},
               {brDeleted, "deleted view", M.Deleted}};
  for (const auto& V : Views) {
    D.SetBrowseBuffer(V.View);
    if (D.BrowseBuffer() != V.View)
      Error = std::string(V.Name) + " not selected";
    else
      Error = CompareList(V.Name, Walk(D), V.Want);
    D.SetBrowseBuffer(brStandard);
    if (!Error.empty()) return Error;
  }
  if (D.BrowseBuffer() != brStandard) return "standard view not selected again";
  return {};
}

// ---- One run ------------------------------------------------------------------------------------

struct Failure {
  std::size_t Step = 0; // index of the operation after which the comparison failed
  std::string Message;
};

class Runner {
public:
  Runner() {
    D.OnLoad = [this](TKelvaDataset* Self, TKlvLoadAction Action) {
      if (Action != laFirst) return;
      for (const Rec& R : Reload) Self->AppendRawRecord({NameVariant(R.Name), AgeVariant(R.Age)});
    };
    D.Open();
  }

  // Applies O to both sides and compares; returns a message on disagreement.
  std::string Apply(const Op& O) {
    ExpectedCur = -1;
    std::string Error;
    try {
      Error = ApplyBoth(O);
    } catch (const std::exception& E) {
      Error = std::string("unexpected exception: ") + E.what();
      if (const auto* K = dynamic_cast<const Exception*>(&E))
        Error = "unexpected exception: " + K->Message();
    }
    if (!Error.empty()) return Error;
    try {
      if (ExpectedCur >= 0 && D.State() == dsBrowse) {
        const List& V = M.View();
        if (static_cast<std::size_t>(ExpectedCur) >= V.size()) return "model cursor out of range";
        const std::int32_t Got = CurrentId(D);
        if (Got != V[ExpectedCur].Id)
          return "current record is id " + std::to_string(Got) + ", model expects " +
                 Show(V[ExpectedCur]);
      }
      return CompareState(D, M, M.Work.has_value());
    } catch (const Exception& E) {
      return "exception while comparing: " + E.Message();
    }
  }

private:
  TModelDataset D;
  Model M;
  List Reload;
  int ExpectedCur = -1;

  // Moves the dataset's cursor to position Pos of its current view (taken modulo the size);
  // returns the position, or -1 for an empty view.
  int GoTo(unsigned Pos, std::size_t Size) {
    if (Size == 0) return -1;
    const int K = static_cast<int>(Pos % Size);
    D.First();
    D.MoveBy(K);
    return K;
  }

  // The identifier the dataset gave the record just stored; must be new.
  std::string NewId(Rec& R) {
    R.Id = D.LastRecId();
    for (const List* L : {&M.Committed, &M.Deleted})
      if (IndexOfId(*L, R.Id) >= 0) return "identifier " + std::to_string(R.Id) + " reused";
    if (M.Work && IndexOfId(*M.Work, R.Id) >= 0)
      return "identifier " + std::to_string(R.Id) + " reused";
    return {};
  }

  Rec Values(const Op& O) const {
    Rec R;
    R.Name = NameValues[O.NameIx % NameValues.size()];
    R.Age = AgeValues[O.AgeIx % AgeValues.size()];
    return R;
  }

  std::string ApplyBoth(const Op& O) {
    List& V = M.View();
    Rec R = Values(O);
    switch (O.Kind) {
    case opAppendRaw: {
      GoTo(O.Pos, V.size());
      D.AppendRawRecord({NameVariant(R.Name), AgeVariant(R.Age)});
      if (std::string E = NewId(R); !E.empty()) return E;
      // Stored as committed at once: at the end of the view and, beside a working copy,
      // at the end of the committed records too.
      V.push_back(R);
      if (M.Work) M.Committed.push_back(R);
      return {};
    }
    case opAppendRecord:
    case opInsertRecord: {
      if (V.size() > 14) return {}; // keep the lists small
      const int K = GoTo(O.Pos, V.size());
      if (O.Kind == opAppendRecord)
        D.AppendRecord({NameVariant(R.Name), AgeVariant(R.Age)});
      else
        D.InsertRecord({NameVariant(R.Name), AgeVariant(R.Age)});
      if (std::string E = NewId(R); !E.empty()) return E;
      M.MakeWork();
      List& W = M.View();
      const std::size_t Pos = O.Kind == opAppendRecord || K < 0 ? W.size() : std::size_t(K);
      W.insert(W.begin() + static_cast<std::ptrdiff_t>(Pos), R);
      ExpectedCur = static_cast<int>(Pos);
      return {};
    }
    case opEditPost:
    case opEditCancel: {
      const int K = GoTo(O.Pos, V.size());
      if (K < 0) return {};
      D.Edit();
      const unsigned Which = O.Aux % 3; // 0: name, 1: age, 2: both
      if (Which != 1) D.FieldByName("NAME")->SetValue(NameVariant(R.Name));
      if (Which != 0) D.FieldByName("AGE")->SetValue(AgeVariant(R.Age));
      if (O.Kind == opEditCancel) {
        D.Cancel();
      } else {
        D.Post();
        M.MakeWork();
        Rec& Target = M.View()[K];
        if (Which != 1) Target.Name = R.Name;
        if (Which != 0) Target.Age = R.Age;
      }
      ExpectedCur = K;
      return {};
    }
    case opDelete: {
      const int K = GoTo(O.Pos, V.size());
      if (K < 0) return {};
      D.Delete();
      M.MakeWork();
      List& W = M.View();
      if (M.Work && IndexOfId(M.Committed, W[K].Id) >= 0) M.Deleted.push_back(W[K]);
      W.erase(W.begin() + K);
      if (!W.empty()) ExpectedCur = std::min<int>(K, static_cast<int>(W.size()) - 1);
      return {};
    }
    case opToggleCached:
      GoTo(O.Pos, V.size());
      M.Cached = !M.Cached;
      D.SetCachedUpdates(M.Cached);
      if (D.CachedUpdates() != M.Cached) return "CachedUpdates not switched";
      M.DropWork(); // pending changes are discarded, never committed
      return {};
    case opCommitRecord:
    case opRevertRecord:
      return SettleStandard(O);
    case opCommitInView:
    case opRevertInView:
      return SettleInView(O);
    case opCommitUpdates: {
      const int K = GoTo(O.Pos, V.size());
      D.CommitUpdates();
      if (M.Work) {
        M.Committed = *M.Work;
        M.DropWork();
      }
      ExpectedCur = K;
      return {};
    }
    case opCancelUpdates: {
      const int K = GoTo(O.Pos, V.size());
      D.CancelUpdates();
      if (M.Work) {
        M.DropWork();
        // The cursor keeps its index, now counted in the committed records.
        if (!M.Committed.empty())
          ExpectedCur = std::min<int>(K, static_cast<int>(M.Committed.size()) - 1);
      } else {
        ExpectedCur = K;
      }
      return {};
    }
    case opSort:
      return Sort(O);
    case opLocate:
      return Locate(O);
    case opSaveLoad:
      return SaveLoad();
    case opClone:
      return CloneCheck();
    case opRefresh:
      return Refresh();
    case opCount:
      break;
    }
    return "bad operation";
  }

  std::string SettleStandard(const Op& O) {
    List& V = M.View();
    const int K = GoTo(O.Pos, V.size());
    const bool Commit = O.Kind == opCommitRecord;
    if (Commit)
      D.CommitRecord();
    else
      D.RevertRecord();
    if (K < 0 || !M.Pending()) {
      ExpectedCur = K;
      return {};
    }
    List& W = *M.Work;
    const int J = IndexOfId(M.Committed, W[K].Id);
    ExpectedCur = K;
    if (Commit) {
      if (J < 0)
        M.CommitAfterPredecessor(W, K);
      else
        M.Committed[J] = W[K];
    } else if (J < 0) {
      W.erase(W.begin() + K);
      ExpectedCur = W.empty() ? -1 : std::min<int>(K, static_cast<int>(W.size()) - 1);
    } else {
      W[K] = M.Committed[J];
    }
    return {};
  }

  std::string SettleInView(const Op& O) {
    const bool Commit = O.Kind == opCommitInView;
    const TklvBrowseBuffer View = O.Aux % 3 == 0   ? brModified
                                  : O.Aux % 3 == 1 ? brInserted
                                                   : brDeleted;
    if (!M.Work) {
      D.SetBrowseBuffer(View);
      return D.BrowseBuffer() == brStandard ? "" : "view selected without a working copy";
    }
    List Shown = View == brModified ? M.Modified() : View == brInserted ? M.Inserted() : M.Deleted;
    D.SetBrowseBuffer(View);
    if (D.BrowseBuffer() != View) return "view not selected";
    const int K = GoTo(O.Pos, Shown.size());
    std::string Error;
    if (K >= 0) {
      if (CurrentId(D) != Shown[K].Id) Error = "view cursor not on " + Show(Shown[K]);
      if (Commit)
        D.CommitRecord();
      else
        D.RevertRecord();
      if (M.Pending()) {
        List& W = *M.Work;
        const std::int32_t Id = Shown[K].Id;
        const int I = IndexOfId(W, Id);
        const int J = IndexOfId(M.Committed, Id);
        if (View == brModified && I >= 0 && J >= 0) {
          if (Commit)
            M.Committed[J] = W[I];
          else
            W[I] = M.Committed[J];
        } else if (View == brInserted && I >= 0) {
          if (Commit)
            M.CommitAfterPredecessor(W, I);
          else
            W.erase(W.begin() + I);
        } else if (View == brDeleted && J >= 0) {
          if (Commit) {
            M.Committed.erase(M.Committed.begin() + J);
          } else {
            // Back in the working copy at its committed index, limited to count - 1.
            const int Pos = std::max(0, std::min(J, static_cast<int>(W.size()) - 1));
            W.insert(W.begin() + Pos, M.Committed[J]);
          }
          M.Deleted.erase(M.Deleted.begin() + K);
        }
      }
      // The view drops the settled entry and is otherwise unchanged.
      if (Error.empty()) {
        const List Want = View == brModified   ? M.Modified()
                          : View == brInserted ? M.Inserted()
                                               : M.Deleted;
        Error = CompareList("view after settling", Walk(D), Want);
      }
    }
    D.SetBrowseBuffer(brStandard);
    return Error;
  }

  std::string Sort(const Op& O) {
    List& V = M.View();
    const int K = GoTo(O.Pos, V.size());
    const std::int32_t CurId = K >= 0 ? V[K].Id : -1;
    const unsigned Key = O.Aux % 3;
    const char* Fields[] = {"NAME", "AGE", "NAME;AGE"};
    D.SortOn(Fields[Key], false, false);
    // Stable, nulls first; a null name is the empty text, which sorts first anyway.
    auto Less = [Key](const Rec& A, const Rec& B) {
      if (Key != 1 && A.Name != B.Name) return A.Name < B.Name;
      if (Key == 0) return false;
      if (A.Age.has_value() != B.Age.has_value()) return !A.Age.has_value();
      return A.Age.has_value() && *A.Age < *B.Age;
    };
    std::stable_sort(V.begin(), V.end(), Less);
    if (K >= 0) ExpectedCur = IndexOfId(V, CurId);
    return {};
  }

  std::string Locate(const Op& O) {
    List& V = M.View();
    GoTo(O.Pos, V.size());
    const bool ByName = O.Aux % 2 == 0;
    const Rec R = Values(O);
    if (ByName ? R.Name.empty() : !R.Age.has_value()) return {};
    const bool Found =
        ByName ? D.Locate("NAME", Variant(R.Name), {}) : D.Locate("AGE", Variant(*R.Age), {});
    const bool Want = std::any_of(V.begin(), V.end(), [&](const Rec& X) {
      return ByName ? X.Name == R.Name : X.Age == R.Age;
    });
    if (Found != Want) return std::string("Locate answered ") + (Found ? "found" : "not found");
    if (!Found) return {};
    const Rec Cur = CurrentRec(D);
    if (ByName ? Cur.Name != R.Name : Cur.Age != R.Age)
      return "Locate stopped on " + Show(Cur) + " without the key";
    ExpectedCur = IndexOfId(V, Cur.Id);
    if (ExpectedCur < 0) return "Locate stopped on an unknown record " + Show(Cur);
    return {};
  }

  std::string SaveLoad() {
    TStringStream Out;
    D.SaveToStream(Out);
    TStringStream In(Out.DataString());
    TModelDataset Loaded;
    Loaded.LoadFromStream(In);
    // An empty working copy with no deleted entries is written as no working copy at all.
    Model Want = M;
    if (Want.Work && Want.Work->empty() && Want.Deleted.empty()) Want.DropWork();
    if (Want.Work && !Loaded.CachedUpdates()) return "loaded working copy without CachedUpdates";
    std::string Error = CompareState(Loaded, Want, Want.Work.has_value());
    return Error.empty() ? "" : "after loading the saved text: " + Error;
  }

  std::string CloneCheck() {
    TModelDataset Target;
    D.Clone(&Target);
    if (!Target.ReadOnly()) return "clone is not read-only";
    std::string Error = CompareState(Target, M, M.Work.has_value());
    return Error.empty() ? "" : "clone: " + Error;
  }

  std::string Refresh() {
    if (M.Pending()) {
      try {
        D.Refresh();
      } catch (const EDatabaseError& E) {
        if (E.Message() != SklvRefreshError) return "Refresh raised " + E.Message();
        return {};
      }
      return "Refresh with pending updates did not raise";
    }
    Reload = M.Committed;
    D.Refresh();
    // Reopened: the load hook supplies the committed records again, numbered from 1.
    M.DropWork();
    M.Committed = Reload;
    for (std::size_t I = 0; I < M.Committed.size(); ++I)
      M.Committed[I].Id = static_cast<std::int32_t>(I + 1);
    Reload.clear();
    return {};
  }
};

// Replays Ops on a fresh dataset; the first disagreement, if any.
std::optional<Failure> Replay(const std::vector<Op>& Ops) {
  Runner Run;
  for (std::size_t I = 0; I < Ops.size(); ++I) {
    std::string Error = Run.Apply(Ops[I]);
    if (!Error.empty()) return Failure{I, Error};
  }
  return std::nullopt;
}

// Drops single operations while the sequence still fails.
std::vector<Op> Shrink(std::vector<Op> Ops) {
  bool Progress = true;
  while (Progress) {
    Progress = false;
    for (std::size_t I = Ops.size(); I-- > 0;) {
      std::vector<Op> Shorter = Ops;
      Shorter.erase(Shorter.begin() + static_cast<std::ptrdiff_t>(I));
      if (auto F = Replay(Shorter)) {
        Shorter.resize(F->Step + 1);
        Ops = std::move(Shorter);
        Progress = true;
        if (I > Ops.size()) I = Ops.size();
      }
    }
  }
  return Ops;
}

std::size_t TotalSteps() {
  if (const char* Text = std::getenv("KELVA_MODEL_STEPS")) {
    const long Steps = std::strtol(Text, nullptr, 10);
    if (Steps > 0) return static_cast<std::size_t>(Steps);
  }
  return 5000;
}

// Runs StepsPerSeed random operations from Seed; on a disagreement, reports the seed and the
// shrunk sequence.
void CheckSeed(std::uint32_t Seed, std::size_t Steps) {
  std::mt19937 Rng(Seed);
  std::vector<Op> Ops;
  Runner Run;
  for (std::size_t I = 0; I < Steps; ++I) {
    Ops.push_back(RandomOp(Rng));
    std::string Error = Run.Apply(Ops.back());
    if (Error.empty()) continue;
    std::vector<Op> Small = Shrink(Ops);
    std::ostringstream Report;
    Report << "seed " << Seed << ", step " << I << ": " << Error << "\nshrunk to " << Small.size()
           << " operations:\n";
    for (const Op& O : Small) Report << "  " << Show(O) << "\n";
    if (auto F = Replay(Small)) Report << "which fails with: " << F->Message << "\n";
    ADD_FAILURE() << Report.str();
    return;
  }
}

TEST(ModelCheck, RandomSequencesAgreeWithTheModel) {
  const std::size_t Total = TotalSteps();
  const std::size_t PerSeed = 250;
  const std::size_t Seeds = std::max<std::size_t>(1, (Total + PerSeed - 1) / PerSeed);
  for (std::uint32_t Seed = 1; Seed <= Seeds; ++Seed) {
    SCOPED_TRACE("seed " + std::to_string(Seed));
    CheckSeed(Seed * 7919u, PerSeed);
  }
}

} // namespace
} // namespace kelva::model_check
