// Reads a stream as text lines, a buffer at a time, so that loading a large file never holds
// the whole text in memory. Lines end the way string lists split them: CR LF, a lone CR or a
// lone LF; a NUL byte ends the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kelva {

class TStream;

class TKlvLineReader {
public:
  // Small enough to stay in the processor's cache between the read and the parse.
  static constexpr std::size_t DefaultChunkSize = 256 * 1024;

  // Reads from the stream's position to its end; ChunkSize is what one refill asks for. A
  // stream that cannot tell its size (a pipe) is read until it delivers nothing more.
  explicit TKlvLineReader(TStream& Stream, std::size_t ChunkSize = DefaultChunkSize);
  TKlvLineReader(const TKlvLineReader&) = delete;
  TKlvLineReader& operator=(const TKlvLineReader&) = delete;

  // The bytes the stream announced when reading began; -1 when it could not tell.
  std::int64_t TextSize() const { return FTextSize; }

  // The next line, without its line end, valid until the next call; false at the end of the
  // text.
  bool Next(std::string_view& Line);

  // Reads whatever the lines did not need. A stream that delivers fewer bytes than its size
  // announced has failed (EReadError), also when the missing part would have been ignored:
  // a file that was cut short must not pass for a complete one.
  void Finish();

private:
  // Keeps the unread bytes, reads more behind them and reports whether any arrived.
  bool Refill();
  // Reads Count bytes, or fewer only where a stream of unknown size ends.
  std::size_t ReadInto(char* Target, std::size_t Count);
  bool SizeKnown() const { return FTextSize >= 0; }

  TStream& FStream;
  std::int64_t FTextSize;
  std::int64_t FOwed;        // bytes the stream still has to deliver, when its size is known
  bool FStreamEnded = false; // a stream of unknown size has delivered its last byte
  std::size_t FChunkSize;
  std::size_t FCapacity;
  std::unique_ptr<char[]> FBuffer;
  // The first CR or LF in [From, FEnd), or FEnd.
  std::size_t FindBreak(std::size_t From) const;

  // Invariant: FStart <= FBreak <= FEnd <= FCapacity, and FBreak is the first CR or LF at or
  // after FStart, or FEnd when none is buffered.
  std::size_t FStart = 0;
  std::size_t FEnd = 0;
  std::size_t FBreak = 0;
  bool FTextEnded = false; // the stream is exhausted or a NUL byte was met
};

} // namespace kelva
