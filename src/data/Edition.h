#pragma once
// Which edition this program is. Kavra and Kavra Classic, the earlier edition
// kept for sites that expect its plain item list, are built from the same
// sources; the few places where they differ ask this one setting.
//
// Classic shows item names only, sorts only by ascending median, calls its undo
// "Revert to Previous List Box", accepts smoothing factors of 1 to 100, and its
// loader neither reports short records nor rejects invalid values (a value is
// then the number its leading characters form).

namespace kavra {

enum class Edition { Kavra, Classic };

#ifdef KAVRA_CLASSIC
inline constexpr Edition kEdition = Edition::Classic;
#else
inline constexpr Edition kEdition = Edition::Kavra;
#endif

inline constexpr bool kClassicEdition = kEdition == Edition::Classic;

}  // namespace kavra
