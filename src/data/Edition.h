#pragma once
// Kavra and Kavra Classic, the earlier edition kept for sites that expect its
// plain item list, are built from the same sources. The core is built once and
// told the edition at run time (the loader's rules, for one); the windows are
// built once per edition (ui/Edition.h).
//
// Classic shows item names only, sorts only by ascending median, calls its undo
// "Revert to Previous List Box", accepts smoothing factors of 1 to 100, and its
// loader neither reports short records nor rejects invalid values (a value is
// then the number its leading characters form).

namespace kavra {

enum class Edition { Kavra, Classic };

}  // namespace kavra
