// Saving a dataset to a stream or file and loading it back. Loading is all or nothing, and
// saving to a file replaces the old file only once the new one is complete on disk.
#include "kelva/dataset/KelvaDataset.h"

#include "kelva/dataset/persistence/StreamFormat.h"
#include "kelva/framework/rtl/RtlConsts.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace kelva {

namespace {

// A description line holding a line break or NUL would split or end its line in the file.
void CheckWritableLines(const TStrings& Lines) {
  for (std::int32_t I = 0; I < Lines.Count(); ++I)
    if (Lines[I].find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      DatabaseError("A description line cannot hold a line break: '" + Lines[I] + "'");
}

// A short name in the same directory, so that renaming it over the target is atomic and the
// name fits wherever the target's name fits.
std::string TemporaryNameBeside(const std::string& FileName) {
  static std::atomic<unsigned> Counter{0};
  const std::filesystem::path Directory = std::filesystem::path(FileName).parent_path();
  const std::string Name =
      ".kelva-" + std::to_string(::getpid()) + "-" + std::to_string(Counter++) + ".tmp";
  return (Directory / Name).string();
}

// Saving through a symbolic link replaces the file it points to, not the link.
std::string ResolvedTarget(const std::string& FileName) {
  std::filesystem::path Path = FileName;
  std::error_code Error;
  for (int Depth = 0; Depth < 40 && std::filesystem::is_symlink(Path, Error); ++Depth) {
    const std::filesystem::path Target = std::filesystem::read_symlink(Path, Error);
    if (Error) break;
    Path = Target.is_absolute() ? Target : Path.parent_path() / Target;
  }
  return Path.string();
}

// Makes the rename itself durable: the directory entry is on disk too.
void SyncDirectoryOf(const std::string& FileName) {
  std::filesystem::path Directory = std::filesystem::path(FileName).parent_path();
  if (Directory.empty()) Directory = ".";
  const int Descriptor = ::open(Directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (Descriptor < 0) return;
  ::fsync(Descriptor);
  ::close(Descriptor);
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

void TKelvaDataset::SaveTofile(const std::string& RequestedName) {
  const std::string FileName = ResolvedTarget(RequestedName);
  const std::string Temporary = TemporaryNameBeside(FileName);
  try {
    {
      std::unique_ptr<TFileStream> File;
      try {
        File = std::make_unique<TFileStream>(Temporary, fmCreate);
      } catch (const EFCreateError&) {
        throw EFCreateError(Format(SFCreateError, {RequestedName}));
      }
      File->SetWriteBehind(true);
      SaveToStream(*File);
      File->Flush();
    }
    std::error_code Error;
    if (std::filesystem::exists(FileName, Error))
      std::filesystem::permissions(Temporary, std::filesystem::status(FileName).permissions(),
                                   Error);
    if (std::rename(Temporary.c_str(), FileName.c_str()) != 0)
      throw EFCreateError(Format(SFCreateError, {RequestedName}));
  } catch (...) {
    std::remove(Temporary.c_str());
    throw;
  }
  SyncDirectoryOf(FileName);
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
      List->AddFrom(*SharedWith, Same);
    } else {
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
  try {
    // The records are read while the lists are built, after the dataset has opened with
    // the descriptions: a record line found malformed then closes it again below.
    TKlvStreamReader Reader(Stream);
    FParamsDesc.Clear();
    for (const std::string& Line : Reader.ParamsDesc()) FParamsDesc.Add(Line);
    FMetaFields.Clear();
    for (const std::string& Line : Reader.MetaFields()) FMetaFields.Add(Line);
    FParams.Clear();
    CreateParams();
    Open();
    LoadContent(Reader);
    First();
  } catch (...) {
    try {
      Close();
    } catch (...) {
      // A close handler that fails cannot stop the dataset from going back to closed.
    }
    FParamsDesc.Assign(OldParamsDesc);
    FMetaFields.Assign(OldMetaFields);
    FParams.Assign(OldParams);
    FCachedUpdates = OldCachedUpdates;
    DatabaseError(SklvFicError);
  }
}

} // namespace kelva
