// The sort keys of one text field are addressed with 32-bit offsets: sorting refuses, with
// a clear error, a field whose keys would pass that limit instead of ordering wrongly. The
// limit is lowered here so that a few short texts reach it.
#include "kelva/dataset/messages.h"
#include "kelva/dataset/search/RecordSorter.h"
#include "kelva/dataset/store/RecordList.h"
#include "kelva/framework/db/DBConsts.h"
#include "kelva/framework/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kelva {
namespace {

constexpr std::uint16_t Width = 8;

// A record list whose images are the texts, one slot of Width characters each.
std::unique_ptr<TKlvRecordList> ListOf(const std::vector<std::string>& Texts) {
  auto List = std::make_unique<TKlvRecordList>(std::make_shared<TKlvImagePool>(Width));
  for (const std::string& Text : Texts) {
    const std::string Image = Text + std::string(Width - Text.size(), ' ');
    List->Add(Image.data(), List->Count() + 1);
  }
  return List;
}

TEST(SortKeyLimit, AFieldWhoseKeysPassTheLimitIsRefusedNotMisordered) {
  const std::vector<TKlvKeyColumn> Columns = {{ftString, true, {1, Width}}};
  // Plain texts are their own keys; texts with spaces take collation keys, longer ones.
  for (const std::vector<std::string>& Texts :
       {std::vector<std::string>{"CC", "A", "BBB"}, std::vector<std::string>{"c c", "a", "b b"}}) {
    for (const bool CaseInsensitive : {false, true}) {
      SCOPED_TRACE(Texts[0] + (CaseInsensitive ? " ignoring case" : ""));
      std::string Keys;
      for (const std::string& Text : Texts) {
        if (Texts[0] == "CC" && PlainTextsCollateAsBytes())
          Keys += Text;
        else
          AppendAnsiSortKey(Keys, Text, CaseInsensitive);
      }
      const auto List = ListOf(Texts);
      EXPECT_EQ(SortedOrder(*List, Columns, CaseInsensitive, false, Keys.size()),
                (std::vector<std::int32_t>{1, 2, 0}));
      try {
        SortedOrder(*List, Columns, CaseInsensitive, false, Keys.size() - 1);
        ADD_FAILURE() << "keys past the limit were sorted";
      } catch (const EDatabaseError& E) {
        EXPECT_EQ(E.Message(), SKlvSortKeysTooLarge);
      }
    }
  }
}

} // namespace
} // namespace kelva
