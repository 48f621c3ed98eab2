// Enumerations, sets and event types shared by datasets, fields, data sources and links.
// Their ordinal values are fixed: stored state and callers rely on them.
#pragma once

#include "kelva/framework/rtl/Exceptions.h"
#include "kelva/framework/rtl/Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelva {

class TDataSet;

using TRecordBuffer = char*;
using TBookmark = std::vector<std::uint8_t>; // empty = no bookmark
using TBookmarkStr = std::string;            // the same bytes; "" = no bookmark

enum TDataSetState : std::uint8_t {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening
};
enum TDataEvent : std::uint8_t {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl,
  deParentScroll
};
enum TGetMode : std::uint8_t { gmCurrent, gmNext, gmPrior };
enum TGetResult : std::uint8_t { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag : std::uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TDataAction : std::uint8_t { daFail, daAbort, daRetry };
enum TUpdateStatus : std::uint8_t { usUnmodified, usModified, usInserted, usDeleted };
enum TResyncModeItem : std::uint8_t { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeItem>;
enum TLocateOption : std::uint8_t { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;
enum TFilterOption : std::uint8_t { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;

inline bool IsEditMode(TDataSetState State) {
  return State == dsEdit || State == dsInsert || State == dsSetKey;
}

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent =
    std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TDataOperation = std::function<void()>;

} // namespace kelva
