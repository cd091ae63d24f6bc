#pragma once
// The edition these windows are built for: the classic edition's windows are
// compiled with KAVRA_CLASSIC defined.

#include "data/Edition.h"

namespace kavra {

#ifdef KAVRA_CLASSIC
inline constexpr Edition kEdition = Edition::Classic;
#else
inline constexpr Edition kEdition = Edition::Kavra;
#endif

inline constexpr bool kClassicEdition = kEdition == Edition::Classic;

}  // namespace kavra
