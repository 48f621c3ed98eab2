// Building and querying a search index.
#include "kelva/dataset/search/SearchIndex.h"

#include "kelva/dataset/store/RecordList.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <algorithm>
#include <limits>

namespace kelva {

TKlvSearchIndex::TKlvSearchIndex(const TKlvRecordList& List, const TKlvKeyEncoder& Encoder) {
  FEntries.reserve(static_cast<std::size_t>(List.Count()));
  for (std::int32_t I = 0; I < List.Count(); ++I) {
    const std::size_t Start = FArena.size();
    Encoder.Encode(List.Image(I), FArena);
    if (FArena.size() > std::numeric_limits<std::uint32_t>::max())
      throw EListError("The search index has grown too large");
    FEntries.push_back(
        {static_cast<std::uint32_t>(Start), static_cast<std::uint32_t>(FArena.size() - Start), I});
  }
  std::sort(FEntries.begin(), FEntries.end(), [this](const Entry& A, const Entry& B) {
    const int Order = KeyOf(A).compare(KeyOf(B));
    return Order != 0 ? Order < 0 : A.Pos < B.Pos;
  });
}

std::vector<std::int32_t> TKlvSearchIndex::Matches(std::string_view Key, bool Prefix) const {
  auto First =
      std::lower_bound(FEntries.begin(), FEntries.end(), Key,
                       [this](const Entry& E, std::string_view K) { return KeyOf(E) < K; });
  std::vector<std::int32_t> Result;
  for (auto It = First; It != FEntries.end(); ++It) {
    const std::string_view Candidate = KeyOf(*It);
    if (Prefix ? !Candidate.starts_with(Key) : Candidate != Key) break;
    Result.push_back(It->Pos);
  }
  // Equal keys are already in position order; prefix matches span several keys.
  if (Prefix) std::sort(Result.begin(), Result.end());
  return Result;
}

} // namespace kelva
