// The stream classes: the buffer helpers of TStream, the in-memory streams and the file
// stream over POSIX calls.
#include "kelva/framework/rtl/Streams.h"

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelva {

namespace {

inline constexpr const char* SInvalidStreamPosition = "Invalid stream position";
inline constexpr const char* SStreamSizeFixed = "The size of this stream cannot be changed";

// Large transfers go to the operating system in pieces it accepts in one call.
constexpr std::int64_t MaxChunk = std::int64_t{1} << 30;
// How much a write-behind file writes before it asks the device to start storing it.
constexpr std::int64_t WriteBehindStep = std::int64_t{8} << 20;
constexpr std::int64_t CopyChunk = std::int64_t{1} << 20;

// The position Seek would reach, or an EStreamError when it lies before the start or
// cannot be represented.
std::int64_t SeekTarget(std::int64_t Offset, TSeekOrigin Origin, std::int64_t Current,
                        std::int64_t Size) {
  std::int64_t Base = 0;
  switch (Origin) {
  case soBeginning:
    Base = 0;
    break;
  case soCurrent:
    Base = Current;
    break;
  case soEnd:
    Base = Size;
    break;
  }
  std::int64_t Target = 0;
  if (__builtin_add_overflow(Base, Offset, &Target) || Target < 0)
    throw EStreamError(SInvalidStreamPosition);
  return Target;
}

} // namespace

// ---- TStream -------------------------------------------------------------------------------

std::int64_t TStream::Size() {
  const std::int64_t Current = Seek(0, soCurrent);
  const std::int64_t End = Seek(0, soEnd);
  Seek(Current, soBeginning);
  return End;
}

void TStream::SetSize(std::int64_t) {
  throw EStreamError(SStreamSizeFixed);
}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count == 0) return;
  if (Read(Buffer, Count) != Count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count == 0) return;
  if (Write(Buffer, Count) != Count) throw EWriteError(SWriteError);
}

void TStream::WriteBuffer(const std::string& Bytes) {
  WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count < 0) throw EReadError(SReadError);
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  std::vector<char> Chunk(static_cast<std::size_t>(std::min(Count, CopyChunk)));
  for (std::int64_t Left = Count; Left > 0;) {
    const std::int64_t N = std::min(Left, CopyChunk);
    Source.ReadBuffer(Chunk.data(), N);
    WriteBuffer(Chunk.data(), N);
    Left -= N;
  }
  return Count;
}

// ---- TInMemoryStream -----------------------------------------------------------------------

std::int64_t TInMemoryStream::Read(void* Buffer, std::int64_t Count) {
  const std::int64_t Available = Size() - FPosition;
  if (Count <= 0 || Available <= 0) return 0;
  const std::int64_t N = std::min(Count, Available);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(N));
  FPosition += N;
  return N;
}

std::int64_t TInMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  const auto MaxSize = static_cast<std::int64_t>(
      std::min<std::size_t>(FData.max_size(), std::numeric_limits<std::int64_t>::max()));
  if (Count > MaxSize - FPosition) throw EWriteError(SWriteError);

  // Growing the storage would invalidate a source that lies inside it (a stream copied onto
  // itself), so such a source is copied first.
  const char* Source = static_cast<const char*>(Buffer);
  std::string SourceCopy;
  const std::less<const char*> Before;
  if (!FData.empty() && !Before(Source, FData.data()) &&
      Before(Source, FData.data() + FData.size())) {
    SourceCopy.assign(Source, static_cast<std::size_t>(Count));
    Source = SourceCopy.data();
  }

  const std::int64_t End = FPosition + Count;
  if (End > Size()) FData.resize(static_cast<std::size_t>(End), '\0');
  std::memcpy(FData.data() + FPosition, Source, static_cast<std::size_t>(Count));
  FPosition = End;
  return Count;
}

std::int64_t TInMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  FPosition = SeekTarget(Offset, Origin, FPosition, Size());
  return FPosition;
}

void TInMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError(SInvalidStreamPosition);
  FData.resize(static_cast<std::size_t>(NewSize), '\0');
  FPosition = std::min(FPosition, NewSize);
}

// ---- TMemoryStream -------------------------------------------------------------------------

void TMemoryStream::Clear() {
  std::string().swap(FData);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  // Read into a separate buffer so that a failed read leaves the content as it was.
  Stream.SetPosition(0);
  std::string Bytes(static_cast<std::size_t>(Stream.Size()), '\0');
  Stream.ReadBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
  FData.swap(Bytes);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Stream) {
  Stream.WriteBuffer(FData);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmOpenRead);
  LoadFromStream(Stream);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(Stream);
}

// ---- TFileStream ---------------------------------------------------------------------------

namespace {

// Puts a descriptor that was opened without waiting back into blocking mode, in which a
// stream reads and writes, and tells whether its file knows its size. False for a directory,
// which opens for reading on POSIX systems but is no file to stream, and for a descriptor
// that is not open.
bool PrepareDescriptor(int Fd, bool& SizeKnown) {
  struct stat Info {};
  if (::fstat(Fd, &Info) != 0 || S_ISDIR(Info.st_mode)) return false;
  const int Flags = ::fcntl(Fd, F_GETFL);
  if (Flags < 0) return false;
  if ((Flags & O_NONBLOCK) != 0 && ::fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK) != 0) return false;
  SizeKnown = S_ISREG(Info.st_mode);
  return true;
}

// Opens FileName as Mode asks and returns the descriptor; raises EFCreateError or
// EFOpenError with the name, after closing anything it opened.
int OpenFile(const std::string& FileName, std::uint16_t Mode, bool& CanRead, bool& CanWrite,
             bool& SizeKnown) {
  const bool Create = (Mode & fmCreate) == fmCreate;
  auto Fail = [&]() -> int {
    if (Create) throw EFCreateError(Format(SFCreateError, {FileName}));
    throw EFOpenError(Format(SFOpenError, {FileName}));
  };

  // Without O_NONBLOCK, opening a FIFO waits until its other end is opened, possibly forever.
  int Flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (Create) {
    Flags |= O_RDWR | O_CREAT | O_TRUNC;
    CanRead = CanWrite = true;
  } else {
    switch (Mode & 3) {
    case fmOpenRead:
      Flags |= O_RDONLY;
      break;
    case fmOpenWrite:
      Flags |= O_WRONLY;
      break;
    case fmOpenReadWrite:
      Flags |= O_RDWR;
      break;
    default:
      return Fail();
    }
    CanRead = (Mode & 3) != fmOpenWrite;
    CanWrite = (Mode & 3) != fmOpenRead;
  }

  int Fd = -1;
  do Fd = ::open(FileName.c_str(), Flags, 0666);
  while (Fd < 0 && errno == EINTR);
  if (Fd < 0) return Fail();
  if (!PrepareDescriptor(Fd, SizeKnown)) {
    ::close(Fd);
    return Fail();
  }
  return Fd;
}

} // namespace

TFileStream::TFileStream(const std::string& FileName, std::uint16_t Mode) : FFileName(FileName) {
  FHandle = OpenFile(FileName, Mode, FCanRead, FCanWrite, FSizeKnown);
}

TFileStream::TFileStream(TAdopt, int Handle, const std::string& FileName)
    : FFileName(FileName), FHandle(Handle) {
  const int Flags = ::fcntl(Handle, F_GETFL);
  if (Flags < 0 || !PrepareDescriptor(Handle, FSizeKnown)) {
    if (Handle >= 0) ::close(Handle);
    FHandle = -1;
    throw EFOpenError(Format(SFOpenError, {FileName}));
  }
  FCanRead = (Flags & O_ACCMODE) != O_WRONLY;
  FCanWrite = (Flags & O_ACCMODE) != O_RDONLY;
}

std::unique_ptr<TFileStream> TFileStream::FromHandle(int Handle, const std::string& FileName) {
  return std::unique_ptr<TFileStream>(new TFileStream(TAdopt{}, Handle, FileName));
}

TFileStream::~TFileStream() {
  // Nothing is buffered here, so closing cannot lose data that Write reported as written.
  if (FHandle >= 0) ::close(FHandle);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  if (!FCanRead || Count <= 0) return 0;
  char* Target = static_cast<char*>(Buffer);
  std::int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N =
        ::read(FHandle, Target + Done, static_cast<std::size_t>(std::min(Count - Done, MaxChunk)));
    if (N < 0 && errno == EINTR) continue;
    if (N < 0) throw EReadError(SReadError);
    if (N == 0) break; // end of file
    Done += N;
  }
  return Done;
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
  if (!FCanWrite || Count <= 0) return 0;
  const char* Source = static_cast<const char*>(Buffer);
  std::int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N =
        ::write(FHandle, Source + Done, static_cast<std::size_t>(std::min(Count - Done, MaxChunk)));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) throw EWriteError(SWriteError);
    Done += N;
  }
  if (FWriteBehind) {
    FUnstartedBytes += Done;
    if (FUnstartedBytes >= WriteBehindStep) StartWriteBack();
  }
  return Done;
}

void TFileStream::StartWriteBack() {
  FUnstartedBytes = 0;
#ifdef __linux__
  // The whole file: pages already on their way are skipped, and a seek between writes
  // cannot leave a stretch out.
  ::sync_file_range(FHandle, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  int Whence = SEEK_SET;
  switch (Origin) {
  case soBeginning:
    Whence = SEEK_SET;
    break;
  case soCurrent:
    Whence = SEEK_CUR;
    break;
  case soEnd:
    Whence = SEEK_END;
    break;
  }
  const off_t Result = ::lseek(FHandle, static_cast<off_t>(Offset), Whence);
  if (Result < 0) throw EStreamError(SInvalidStreamPosition);
  return static_cast<std::int64_t>(Result);
}

std::int64_t TFileStream::Size() {
  struct stat Info {};
  if (::fstat(FHandle, &Info) != 0) throw EReadError(SReadError);
  return static_cast<std::int64_t>(Info.st_size);
}

void TFileStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError(SInvalidStreamPosition);
  if (!FCanWrite) throw EWriteError(SWriteError);
  int Result = 0;
  do Result = ::ftruncate(FHandle, static_cast<off_t>(NewSize));
  while (Result != 0 && errno == EINTR);
  if (Result != 0) throw EWriteError(SWriteError);
  if (Position() > NewSize) SetPosition(NewSize);
}

void TFileStream::Flush() {
  if (::fsync(FHandle) == 0) return;
  // Devices and pipes have nothing to put on storage: only real I/O failures are errors.
  if (errno == EINVAL || errno == EROFS) return;
  throw EWriteError(SWriteError);
}

} // namespace kelva
