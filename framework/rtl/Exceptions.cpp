// The two helpers that raise the run-time library's fixed-message exceptions: Abort, the
// silent stop, and AbstractError, for operations a class leaves unimplemented.
#include "kelva/framework/rtl/Exceptions.h"

#include "kelva/framework/rtl/RtlConsts.h"

namespace kelva {

void Abort() {
  throw EAbort(SOperationAborted);
}

void AbstractError() {
  throw EAbstractError(SAbstractError);
}

} // namespace kelva
