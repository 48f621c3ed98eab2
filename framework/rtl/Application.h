// TApplication: the process-wide application object and its exception reporter, which
// event dispatchers call when an exception escapes a handler.
#pragma once

#include "kelva/framework/rtl/Component.h"
#include "kelva/framework/rtl/Exceptions.h"

#include <functional>

namespace kelva {

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

  // Reports the exception being handled; call it only inside a catch block. EAbort is silent;
  // any other exception goes to OnException when assigned, otherwise its message and a newline
  // go to standard error. It never rethrows, but an exception thrown by OnException propagates.
  void HandleException(TObject* Sender);

  TExceptionEvent OnException;

private:
  void ShowException(TObject* Sender, const Exception& E);
};

// Never null, usable from the constructors and destructors of static objects in any file
// that includes this header.
extern TApplication* Application;

namespace detail {

// Every file that includes this header holds one of these ahead of its own static objects.
// The first to be initialised constructs the application object and the last to be destroyed
// destroys it, so the application outlives every static object that can refer to it.
class ApplicationLifetime {
public:
  ApplicationLifetime();
  ~ApplicationLifetime();
  ApplicationLifetime(const ApplicationLifetime&) = delete;
  ApplicationLifetime& operator=(const ApplicationLifetime&) = delete;
};

static const ApplicationLifetime TheApplicationLifetime;

} // namespace detail

} // namespace kelva
