// TryFinally: runs Body, then Final whether Body returned or threw (the exception then
// continues). Final runs outside any destructor, so it may itself throw.
#pragma once

namespace kelva {

template <class Body, class Final>
void TryFinally(Body&& BodyStep, Final&& FinalStep) {
  try {
    BodyStep();
  } catch (...) {
    FinalStep();
    throw;
  }
  FinalStep();
}

} // namespace kelva
