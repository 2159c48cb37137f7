#pragma once

#include "editors/editor_description.h"

namespace kesto {

// The five shift map editors, one per gear pair: 1 = 1-2 (TForm5) ... 5 = 5-6 (TForm12).
constexpr int kShiftMapCount = 5;

// The description of the editor of one gear pair (1..5); throws for another number.
EditorDescription shiftMapDescription(int pair);

} // namespace kesto
