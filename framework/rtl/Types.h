// Root classes and small value types of the run-time library: TObject, TPersistent,
// TNotifyEvent and TSet, the bit set over an enumeration used for option and state sets.
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <type_traits>

namespace kelva {

static_assert(std::endian::native == std::endian::little, "Kelva assumes a little-endian host");

class TObject {
public:
  virtual ~TObject() = default;
};

class TPersistent : public TObject {};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A set of enumeration values (at most 64 of them), stored as one bit per value.
template <class E>
class TSet {
  static_assert(std::is_enum_v<E>, "TSet needs an enumeration");

public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Items) {
    for (E Item : Items) Include(Item);
  }

  constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
  constexpr void Include(E Item) { FBits |= Bit(Item); }
  constexpr void Exclude(E Item) { FBits &= ~Bit(Item); }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint64_t Bits() const { return FBits; }

  friend constexpr bool operator==(TSet A, TSet B) { return A.FBits == B.FBits; }
  friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
  friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
  friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }

private:
  static constexpr std::uint64_t Bit(E Item) {
    return std::uint64_t{1} << static_cast<unsigned>(Item);
  }
  static constexpr TSet FromBits(std::uint64_t Bits) {
    TSet S;
    S.FBits = Bits;
    return S;
  }
  std::uint64_t FBits = 0;
};

} // namespace kelva
