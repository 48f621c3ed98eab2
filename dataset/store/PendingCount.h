// TKlvPendingCount: how many entries of a working copy differ from the committed records,
// kept up to date record by record, so that asking whether changes are pending does not
// compare the two lists each time.
#pragma once

#include <cstdint>
#include <memory>

namespace kelva {

class TKlvRecordList;

class TKlvPendingCount {
public:
  using TListSlot = std::unique_ptr<TKlvRecordList>;

  // Follows whatever lists the two slots hold at any moment (either may be empty).
  TKlvPendingCount(const TListSlot& Committed, const TListSlot& Working)
      : FCommitted(Committed), FWorking(Working) {}
  TKlvPendingCount(const TKlvPendingCount&) = delete;
  TKlvPendingCount& operator=(const TKlvPendingCount&) = delete;

  // Brackets a change to the versions of one record: on entry the record's part leaves the
  // count, on exit (also when the change throws) the part the lists then give it comes
  // back. Only that record may change inside the bracket.
  class TChange {
  public:
    ~TChange();
    TChange(const TChange&) = delete;
    TChange& operator=(const TChange&) = delete;

  private:
    friend class TKlvPendingCount;
    TChange(TKlvPendingCount& Owner, std::int32_t RecId);

    TKlvPendingCount& FOwner;
    std::int32_t FRecId;
    bool FCounted; // the count was current on entry, so the exit can keep it current
  };
  TChange Change(std::int32_t RecId) { return TChange(*this, RecId); }

  // The working entries whose identifier is not committed or whose image differs from the
  // committed one; 0 while either list is missing. Counted afresh, in one pass, only when
  // a list was replaced or changed outside a bracket (a load, a clone, a sort).
  std::int32_t Differing();
  // The working copy has just been made from the committed list: nothing differs.
  void SetAllEqual();
  // How many times the count was taken afresh: the work a caller did not bracket.
  std::uint64_t Recounts() const { return FRecounts; }

private:
  struct TListMark {
    std::uint64_t Stamp = 0;
    std::uint64_t Version = 0;
  };
  static TListMark MarkOf(const TKlvRecordList& List);
  static bool SameMark(const TListMark& Mark, const TKlvRecordList& List);

  bool BothLists() const { return FCommitted && FWorking; }
  bool Current() const;
  void Remember(std::int32_t Count);
  void CheckAgainstRecount() const;
  bool RecordDiffers(std::int32_t RecId) const;
  std::int32_t Recount() const;

  const TListSlot& FCommitted;
  const TListSlot& FWorking;
  // Invariant: while FKnown and both lists carry the stamps and versions marked here,
  // FCount is the number of differing working entries (Differing()).
  bool FKnown = false;
  std::int32_t FCount = 0;
  TListMark FCommittedMark;
  TListMark FWorkingMark;
  std::uint64_t FRecounts = 0;
};

} // namespace kelva
