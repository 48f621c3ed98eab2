// Saving a dataset to a stream or file and loading it back. Loading is all or nothing, and
// saving to a file replaces the old file only once the new one is complete on disk.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/dataset/persistence/FileReplacement.h"
#include "kelva/dataset/persistence/LoadChecks.h"
#include "kelva/dataset/persistence/LoadMemory.h"
#include "kelva/dataset/persistence/StreamFormat.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

namespace kelva {

namespace {

// A description line holding a line break or NUL would split or end its line in the file.
void CheckWritableLines(const TStrings& Lines) {
  for (std::int32_t I = 0; I < Lines.Count(); ++I)
    if (Lines[I].find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      DatabaseError("A description line cannot hold a line break: '" + Lines[I] + "'");
}

// The load ceiling; 0 stands for the default, worked out when first needed.
std::atomic<std::uint64_t> LoadMemoryLimitSetting{0};

// Refuses a load whose records would need more memory than a load may use.
void CheckLoadFits(std::size_t Records, std::int32_t ImageSize) {
  const std::uint64_t Needed = LoadMemoryNeeded(Records, ImageSize);
  const std::uint64_t Limit = TKelvaDataset::LoadMemoryLimit();
  if (Needed <= Limit) return;
  constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
  DatabaseErrorFmt(SKlvLoadTooLarge, {std::to_string(Needed / MiB + (Needed % MiB != 0)),
                                      std::to_string(Limit / MiB)});
}

// Runs a step whose failure means the text is not a loadable file; memory running out is
// no fault of the file and keeps its own kind.
template <class Step>
void AsFileFormatStep(Step&& Run) {
  try {
    Run();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    DatabaseError(SklvFicError);
  }
}

// The field definitions as they were, to be rebuilt after a failed load.
struct TFieldDefCopy {
  std::string Name;
  TFieldType DataType;
  std::int32_t Size;
  bool Required;
  std::int32_t FieldNo;
  std::int32_t Precision;
  bool InternalCalcField;
};

std::vector<TFieldDefCopy> CopyOf(const TFieldDefs& Defs) {
  std::vector<TFieldDefCopy> Copy;
  for (std::int32_t I = 0; I < Defs.Count(); ++I) {
    const TFieldDef& Def = *Defs[I];
    Copy.push_back({Def.Name(), Def.DataType(), Def.Size(), Def.Required(), Def.FieldNo(),
                    Def.Precision(), Def.InternalCalcField()});
  }
  return Copy;
}

void Restore(TFieldDefs& Defs, const std::vector<TFieldDefCopy>& Copy) {
  Defs.Clear();
  for (const TFieldDefCopy& Old : Copy) {
    TFieldDef* Def = Defs.CreateDef(Old.Name, Old.DataType, Old.Size, Old.Required, Old.FieldNo);
    Def->SetPrecision(Old.Precision);
    Def->SetInternalCalcField(Old.InternalCalcField);
  }
}

// A failed load must not leave the dataset open, whatever its close handlers do: when
// BeforeClose refuses, the dataset closes without asking it again.
void CloseAfterFailedLoad(TKelvaDataset& Data) {
  try {
    Data.Close();
  } catch (...) {}
  if (!Data.Active()) return;
  TDataSetNotifyEvent Refusing = std::exchange(Data.BeforeClose, nullptr);
  try {
    Data.Close();
  } catch (...) {}
  Data.BeforeClose = std::move(Refusing);
}

} // namespace

void TKelvaDataset::SaveToStream(TStream& Stream) {
  CheckActive();
  CheckWritableLines(FParamsDesc);
  CheckWritableLines(FMetaFields);
  WriteStreamText(Stream, Name(), FParamsDesc, FMetaFields, *FCommittedBuf,
                  FCachedBufActive ? FCachedBuf.get() : nullptr,
                  FCachedBufActive ? FDeletedBuf.get() : nullptr);
}

void TKelvaDataset::SaveTofile(const std::string& FileName) {
  TKlvFileReplacement Replacement(FileName);
  SaveToStream(Replacement.Stream());
  Replacement.Commit();
}

void TKelvaDataset::SetLoadMemoryLimit(std::uint64_t Bytes) {
  LoadMemoryLimitSetting = Bytes;
}

std::uint64_t TKelvaDataset::LoadMemoryLimit() {
  const std::uint64_t Set = LoadMemoryLimitSetting;
  if (Set != 0) return Set;
  static const std::uint64_t Default = DefaultLoadMemoryLimit();
  return Default;
}

void TKelvaDataset::LoadFromFile(const std::string& FileName) {
  TFileStream File(FileName, fmOpenRead);
  LoadFromStream(File);
}

std::unique_ptr<TKlvRecordList> TKelvaDataset::BuildList(TKlvStreamReader& Reader,
                                                         std::int32_t Count,
                                                         const TKlvRecordList* SharedWith) {
  auto List = std::make_unique<TKlvRecordList>(FPool);
  // An image shorter than the record is padded with blanks (null values); a longer one is
  // cut: characters past the record carry no meaning.
  const std::size_t Size = static_cast<std::size_t>(FDataSize);
  std::string Padded(Size, ' ');
  std::int32_t Hint = 0;
  std::vector<TFieldType> Types;
  for (std::int32_t I = 0; I < FieldDefs().Count(); ++I)
    Types.push_back(FieldDefs()[I]->DataType());
  const TKlvImageCheck Check(FFieldInfo, Types);
  Reader.ReadRecords(Count, [&](std::int32_t RecId, std::string_view Text) {
    const char* Image = Text.data();
    if (Text.size() < Size) {
      std::memcpy(Padded.data(), Text.data(), Text.size());
      std::fill(Padded.begin() + static_cast<std::ptrdiff_t>(Text.size()), Padded.end(), ' ');
      Image = Padded.data();
    }
    // A working-copy record that is unchanged shares the committed image, as it did before
    // it was saved: no second copy, and comparing the two is a slot comparison.
    const std::int32_t Same = SharedWith ? FindRecIdNear(*SharedWith, RecId, Hint) : -1;
    if (Same >= 0) Hint = Same + 1;
    if (Same >= 0 && std::memcmp(SharedWith->Image(Same), Image, Size) == 0) {
      List->AddFrom(*SharedWith, Same); // its slots were checked with the committed list
    } else {
      // A slot its field cannot read would fail only when read, long after the load.
      if (!Check.Readable(Image)) DatabaseError(SklvFicError);
      List->Add(Image, RecId); // the same identifier twice is refused
    }
    NoteArrivedRecId(RecId);
  });
  return List;
}

void TKelvaDataset::LoadContent(TKlvStreamReader& Reader) {
  FPool->Reserve(Reader.MostRecords());
  auto Committed = BuildList(Reader, Reader.CommittedCount());
  std::unique_ptr<TKlvRecordList> Cached, Deleted;
  if (Reader.HasWorkingCopy()) {
    Cached = BuildList(Reader, Reader.CachedCount(), Committed.get());
    Deleted = BuildList(Reader, Reader.DeletedCount());
    if (!WorkingCopyAgrees(*Committed, *Cached, *Deleted)) DatabaseError(SklvFicError);
  }
  Reader.Finish();
  // Everything is built: replace the store in one step.
  ClearCurrentBrowseBuffer();
  FBrowseBuffer = brStandard;
  FCommittedBuf = std::move(Committed);
  FCachedBuf = std::move(Cached);
  FDeletedBuf = std::move(Deleted);
  FCachedBufActive = Reader.HasWorkingCopy();
  if (FCachedBufActive) FCachedUpdates = true;
  SetInternalBuf();
  FCurRec = -1;
}

void TKelvaDataset::LoadFromStream(TStream& Stream) {
  CheckInactive();
  // What a failed load must give back.
  const TStringList OldParamsDesc(FParamsDesc);
  const TStringList OldMetaFields(FMetaFields);
  TParams OldParams;
  OldParams.Assign(FParams);
  const bool OldCachedUpdates = FCachedUpdates;
  const std::vector<TFieldDefCopy> OldFieldDefs = CopyOf(FieldDefs());
  const std::int32_t OldDataSize = FDataSize;
  const std::int32_t OldBufferSize = FBufferSize;
  const std::int32_t OldRecInfoOffset = FRecInfoOffset;
  auto GiveBack = [&] {
    CloseAfterFailedLoad(*this);
    FParamsDesc.Assign(OldParamsDesc);
    FMetaFields.Assign(OldMetaFields);
    FParams.Assign(OldParams);
    FCachedUpdates = OldCachedUpdates;
    Restore(FieldDefs(), OldFieldDefs);
    FDataSize = OldDataSize;
    FBufferSize = OldBufferSize;
    FRecInfoOffset = OldRecInfoOffset;
  };
  try {
    // The records are read while the lists are built, after the dataset has opened with
    // the descriptions: a record line found malformed then closes it again below.
    std::unique_ptr<TKlvStreamReader> Reader;
    AsFileFormatStep([&] {
      Reader = std::make_unique<TKlvStreamReader>(Stream);
      FParamsDesc.Clear();
      for (const std::string& Line : Reader->ParamsDesc()) FParamsDesc.Add(Line);
      FMetaFields.Clear();
      for (const std::string& Line : Reader->MetaFields()) FMetaFields.Add(Line);
      FParams.Clear();
      CreateParams();
    });
    try {
      Open();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (...) {
      // Once open, the file's descriptions were accepted: what failed is the application's
      // own work after opening (the load event, AfterOpen), and its error is its own.
      if (Active()) throw;
      DatabaseError(SklvFicError);
    }
    CheckLoadFits(Reader->MostRecords(), FDataSize);
    AsFileFormatStep([&] { LoadContent(*Reader); });
    First(); // only application handlers can fail here (AfterScroll, calculated fields)
  } catch (const std::bad_alloc&) {
    GiveBack();
    DatabaseError(SKlvLoadOutOfMemory);
  } catch (...) {
    GiveBack();
    throw;
  }
}

} // namespace kelva
