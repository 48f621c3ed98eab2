// The exception hierarchy of the run-time library. Every error Kelva raises derives from
// Exception; EAbort is the silent one that Application::HandleException ignores.
#pragma once

#include <exception>
#include <string>

namespace kelva {

class Exception : public std::exception {
public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  const std::string& Message() const { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

#define KELVA_EXCEPTION_CLASS(Name, Base)                                                          \
  class Name : public Base {                                                                       \
  public:                                                                                          \
    using Base::Base;                                                                              \
  }

KELVA_EXCEPTION_CLASS(EAbort, Exception);
KELVA_EXCEPTION_CLASS(EDatabaseError, Exception);
KELVA_EXCEPTION_CLASS(EConvertError, Exception);
KELVA_EXCEPTION_CLASS(EVariantError, Exception);
KELVA_EXCEPTION_CLASS(EAbstractError, Exception);
KELVA_EXCEPTION_CLASS(EListError, Exception);
KELVA_EXCEPTION_CLASS(EComponentError, Exception);
KELVA_EXCEPTION_CLASS(EStreamError, Exception);
KELVA_EXCEPTION_CLASS(EFOpenError, EStreamError);
KELVA_EXCEPTION_CLASS(EFCreateError, EStreamError);
KELVA_EXCEPTION_CLASS(EReadError, EStreamError);
KELVA_EXCEPTION_CLASS(EWriteError, EStreamError);
KELVA_EXCEPTION_CLASS(EClassNotFound, EStreamError);
KELVA_EXCEPTION_CLASS(EParserError, EStreamError);
KELVA_EXCEPTION_CLASS(EInvalidOperation, Exception);

#undef KELVA_EXCEPTION_CLASS

// Throws EAbort with SOperationAborted: the silent way to stop an operation.
[[noreturn]] void Abort();
// Throws EAbstractError: an operation a class leaves without implementation was called.
[[noreturn]] void AbstractError();

} // namespace kelva
