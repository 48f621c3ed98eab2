// Byte streams: the TStream interface with its buffer helpers, the in-memory streams
// (TMemoryStream, TStringStream) and TFileStream over a POSIX file descriptor.
#pragma once

#include "kelva/framework/rtl/Exceptions.h" // the errors these operations raise
#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace kelva {

enum TSeekOrigin : std::uint8_t { soBeginning, soCurrent, soEnd };

// TFileStream modes: fmCreate, or one access value (low two bits) combined with a sharing
// value. Sharing values are accepted and ignored.
inline constexpr std::uint16_t fmCreate = 0xFF00;
inline constexpr std::uint16_t fmOpenRead = 0;
inline constexpr std::uint16_t fmOpenWrite = 1;
inline constexpr std::uint16_t fmOpenReadWrite = 2;
inline constexpr std::uint16_t fmShareCompat = 0;
inline constexpr std::uint16_t fmShareExclusive = 0x10;
inline constexpr std::uint16_t fmShareDenyWrite = 0x20;
inline constexpr std::uint16_t fmShareDenyRead = 0x30;
inline constexpr std::uint16_t fmShareDenyNone = 0x40;

class TStream : public TObject {
public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Read returns the number of bytes read (fewer at the end, 0 past it or for Count <= 0);
  // Write the number written; Seek the new position. A position before the start raises
  // EStreamError.
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t Value) { Seek(Value, soBeginning); }
  virtual std::int64_t Size();
  // False for a stream that cannot tell its size or position (a pipe, a terminal): Size()
  // then means nothing, and the only way to its end is to read until Read returns 0.
  virtual bool HasKnownSize() { return true; }
  // Truncates or extends the stream; a stream that cannot change its size raises EStreamError.
  virtual void SetSize(std::int64_t NewSize);

  // All-or-error variants: a short read raises EReadError, a short write EWriteError.
  void ReadBuffer(void* Buffer, std::int64_t Count);
  void WriteBuffer(const void* Buffer, std::int64_t Count);
  void WriteBuffer(const std::string& Bytes);
  // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
  // Returns the number of bytes copied.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

// The storage shared by the in-memory streams: a byte string and a position that may lie past
// its end (a write there zero-fills the gap).
class TInMemoryStream : public TStream {
public:
  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
  void SetSize(std::int64_t NewSize) override;

protected:
  TInMemoryStream() = default;
  explicit TInMemoryStream(std::string Data) : FData(std::move(Data)) {}

  std::string FData;
  std::int64_t FPosition = 0;
};

class TMemoryStream : public TInMemoryStream {
public:
  TMemoryStream() = default;

  const char* Memory() const { return FData.data(); }
  void Clear();
  // Replaces the content by all of Stream, read from its start; the position becomes 0.
  void LoadFromStream(TStream& Stream);
  // Writes the whole content to Stream at Stream's position.
  void SaveToStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
};

class TStringStream : public TInMemoryStream {
public:
  explicit TStringStream(const std::string& Data = {}) : TInMemoryStream(Data) {}
  const std::string& DataString() const { return FData; }
};

// A file opened with POSIX calls, binary, unbuffered: every Write reaches the operating system
// at once, so write errors surface where they happen. The destructor closes the file.
// Opening never waits: a FIFO opened for reading without a writer reads as empty, one opened
// for writing without a reader is refused.
class TFileStream : public TStream {
public:
  // Raises EFCreateError (fmCreate) or EFOpenError (open modes, which need an existing file).
  TFileStream(const std::string& FileName, std::uint16_t Mode);
  // Takes over Handle, a descriptor opened elsewhere (with flags the modes cannot express);
  // FileName only names it. Access follows the descriptor's own mode; the stream closes it.
  static std::unique_ptr<TFileStream> FromHandle(int Handle, const std::string& FileName);
  ~TFileStream() override;

  const std::string& FileName() const { return FFileName; }

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override;
  // Only a regular file knows its size; pipes, terminals and other devices do not.
  bool HasKnownSize() override { return FSizeKnown; }
  void SetSize(std::int64_t NewSize) override;

  // Asks the operating system to put the written data on the storage device (fsync); raises
  // EWriteError when it cannot. Needed before renaming a file written to replace another.
  void Flush();

  // For a file that will be flushed once written: every few megabytes written, the device
  // is asked to start storing what is written so far, so that the writing of the rest
  // overlaps the storing and Flush has little left to wait for. Only a hint: errors show
  // in Flush. Off by default.
  void SetWriteBehind(bool On) { FWriteBehind = On; }

private:
  struct TAdopt {};
  TFileStream(TAdopt, int Handle, const std::string& FileName);
  void StartWriteBack();

  std::string FFileName;
  int FHandle = -1;
  bool FCanRead = false;
  bool FCanWrite = false;
  bool FSizeKnown = true;
  bool FWriteBehind = false;
  std::int64_t FUnstartedBytes = 0; // written since the last StartWriteBack
};

} // namespace kelva
