// Wiring resolution: derives every block's inputs and output side from the
// lines of the grid, builds the run list and resolves the view points.
#pragma once
#include "model/field.h"

namespace vemo {

// Inputs of a macro block: entries 0-2 feed the body's input ports, the
// source found for its output port is written into entry 3.
using TMacroInputs = TBlock* [4];

// Follows the lines backwards from a cell to the block that drives them.
// Runs inside CompileScheme and uses that compile's field and macro inputs.
TBlock* TraceSource(bool strict, int col, int row, uint8_t entrySide);

// The field whose compile is running (nullptr outside a compile). Objects
// that refer to other cells in Prepare look them up here: a macro body is
// compiled as a copy whose Owner is the field it was copied from.
TField* CompilingField();
// The project whose check is running: the main scheme of the compile, also
// while the bodies of its macro blocks are compiled (nullptr outside).
TField* CompilingProject();

// Result in Prog.Err.ErrorCode. macroInputs is nullptr for a project's
// main scheme.
void CompileScheme(TField& field, TBlock** macroInputs);

}  // namespace vemo
