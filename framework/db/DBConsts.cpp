// Raising database errors.
#include "kelva/framework/db/DBConsts.h"

#include "kelva/framework/rtl/SysUtils.h"

namespace kelva {

void DatabaseError(const std::string& Message) {
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const std::string& Fmt, std::initializer_list<Variant> Args) {
  throw EDatabaseError(Format(Fmt, Args));
}

void DatabaseErrorFmt(const std::string& Fmt, const std::vector<Variant>& Args) {
  throw EDatabaseError(Format(Fmt, Args));
}

} // namespace kelva
