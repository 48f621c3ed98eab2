// The buffered line splitter behind loading.
#include "kelva/dataset/persistence/LineReader.h"

#include "kelva/framework/rtl/RtlConsts.h"
#include "kelva/framework/rtl/Streams.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kelva {

TKlvLineReader::TKlvLineReader(TStream& Stream, std::size_t ChunkSize)
    : FStream(Stream),
      FTextSize(Stream.HasKnownSize() ? std::max<std::int64_t>(0, Stream.Size() - Stream.Position())
                                      : -1),
      FOwed(std::max<std::int64_t>(0, FTextSize)), FChunkSize(std::max<std::size_t>(1, ChunkSize)) {
  // A short stream gets a buffer of its own size, not a full chunk.
  const std::int64_t Expected = SizeKnown() ? FOwed : static_cast<std::int64_t>(FChunkSize);
  FCapacity = static_cast<std::size_t>(
      std::clamp<std::int64_t>(Expected, 1, static_cast<std::int64_t>(FChunkSize)));
  FBuffer = std::make_unique_for_overwrite<char[]>(FCapacity);
  FTextEnded = SizeKnown() && FOwed == 0;
}

std::size_t TKlvLineReader::ReadInto(char* Target, std::size_t Count) {
  std::size_t Done = 0;
  while (Done < Count) {
    const std::int64_t Got = FStream.Read(Target + Done, static_cast<std::int64_t>(Count - Done));
    if (Got <= 0 && !SizeKnown()) {
      FStreamEnded = true;
      break;
    }
    if (Got <= 0) throw EReadError(SReadError);
    Done += static_cast<std::size_t>(Got);
  }
  if (SizeKnown()) FOwed -= static_cast<std::int64_t>(Done);
  return Done;
}

bool TKlvLineReader::Refill() {
  if (FTextEnded) return false;
  if (FStart > 0) {
    const std::size_t Kept = FEnd - FStart;
    std::memmove(FBuffer.get(), FBuffer.get() + FStart, Kept);
    FBreak -= FStart;
    FEnd = Kept;
    FStart = 0;
  }
  if (FEnd == FCapacity) {
    // One line fills the whole buffer: make room for the rest of it.
    const std::size_t Grown = FCapacity * 2;
    auto Bigger = std::make_unique_for_overwrite<char[]>(Grown);
    std::memcpy(Bigger.get(), FBuffer.get(), FEnd);
    FBuffer = std::move(Bigger);
    FCapacity = Grown;
  }
  std::size_t Wanted = std::min(FCapacity - FEnd, FChunkSize);
  if (SizeKnown()) Wanted = std::min(Wanted, static_cast<std::size_t>(FOwed));
  const std::size_t OldEnd = FEnd;
  FEnd += ReadInto(FBuffer.get() + FEnd, Wanted);
  if (const void* Nul = std::memchr(FBuffer.get() + OldEnd, '\0', FEnd - OldEnd)) {
    FEnd = static_cast<std::size_t>(static_cast<const char*>(Nul) - FBuffer.get());
    FTextEnded = true;
  }
  if (SizeKnown() ? FOwed == 0 : FStreamEnded) FTextEnded = true;
  // Where no line break was buffered, the search goes on in the new bytes.
  if (FBreak >= OldEnd) FBreak = FindBreak(OldEnd);
  return FEnd > OldEnd;
}

std::size_t TKlvLineReader::FindBreak(std::size_t From) const {
  const char* P = FBuffer.get() + From;
  const char* const End = FBuffer.get() + FEnd;
#ifdef __SSE2__
  // Both line-end characters in one pass, sixteen bytes at a time.
  const __m128i CR = _mm_set1_epi8('\r');
  const __m128i LF = _mm_set1_epi8('\n');
  for (; End - P >= 16; P += 16) {
    const __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
    const int Hits =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(Bytes, CR), _mm_cmpeq_epi8(Bytes, LF)));
    if (Hits != 0)
      return static_cast<std::size_t>(P - FBuffer.get()) +
             std::countr_zero(static_cast<unsigned>(Hits));
  }
#endif
  while (P < End && *P != '\r' && *P != '\n') ++P;
  return static_cast<std::size_t>(P - FBuffer.get());
}

bool TKlvLineReader::Next(std::string_view& Line) {
  for (;;) {
    assert(FStart <= FBreak && FBreak <= FEnd);
    const std::size_t LineEnd = FBreak;
    // A CR that ends the buffer may be the first half of a CR LF still unread.
    const bool Complete =
        LineEnd < FEnd && !(FBuffer[LineEnd] == '\r' && LineEnd + 1 == FEnd && !FTextEnded);
    if (!Complete && !FTextEnded) {
      Refill();
      continue;
    }
    if (!Complete && FStart == FEnd) return false; // a final line end adds no empty line
    Line = std::string_view(FBuffer.get() + FStart, LineEnd - FStart);
    std::size_t Next = LineEnd;
    if (Next < FEnd && FBuffer[Next] == '\r') ++Next;
    if (Next < FEnd && FBuffer[Next] == '\n') ++Next;
    FStart = Next;
    FBreak = FindBreak(FStart);
    return true;
  }
}

void TKlvLineReader::Finish() {
  if (SizeKnown()) {
    while (FOwed > 0)
      ReadInto(FBuffer.get(), std::min<std::size_t>(FCapacity, static_cast<std::size_t>(FOwed)));
  } else {
    while (!FStreamEnded) ReadInto(FBuffer.get(), FCapacity);
  }
  FStart = FEnd = FBreak = 0;
  FTextEnded = true;
}

} // namespace kelva
