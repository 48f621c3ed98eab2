// The global application object, its construction before any static object that can use it,
// and the exception reporter.
#include "kelva/framework/rtl/Application.h"

#include <exception>
#include <iostream>
#include <memory>

namespace kelva {

namespace {

inline constexpr const char* SUnknownException = "Unknown exception";

// Room for the application object, reserved without running its constructor: the address is
// a constant, so the Application pointer below is set before any code runs, and the object
// itself is built by the first ApplicationLifetime.
union ApplicationStorage {
  constexpr ApplicationStorage() : Unused() {}
  ~ApplicationStorage() {}
  char Unused;
  TApplication Object;
};

constinit ApplicationStorage Storage;
// Zero before any dynamic initialisation runs.
constinit int LifetimeCount = 0;

} // namespace

constinit TApplication* Application = &Storage.Object;

detail::ApplicationLifetime::ApplicationLifetime() {
  if (LifetimeCount++ == 0) std::construct_at(&Storage.Object);
}

detail::ApplicationLifetime::~ApplicationLifetime() {
  if (--LifetimeCount == 0) std::destroy_at(&Storage.Object);
}

void TApplication::HandleException(TObject* Sender) {
  const std::exception_ptr Current = std::current_exception();
  if (!Current) return;
  try {
    std::rethrow_exception(Current);
  } catch (const EAbort&) {
    // The silent exception: the operation was stopped on purpose.
  } catch (const Exception& E) {
    ShowException(Sender, E);
  } catch (const std::exception& E) {
    ShowException(Sender, Exception(E.what()));
  } catch (...) {
    ShowException(Sender, Exception(SUnknownException));
  }
}

void TApplication::ShowException(TObject* Sender, const Exception& E) {
  if (OnException) {
    OnException(Sender, E);
    return;
  }
  std::cerr << E.Message() << '\n' << std::flush;
}

} // namespace kelva
