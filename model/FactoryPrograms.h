// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 45 factory rooms a new instance starts with.

#include "model/OvintaProgram.h"

namespace ovinta {

// Fills every field, the walls and the name of programs[0..44]. Called once,
// by the engine's constructor, on records that hold their defaults.
void loadFactoryPrograms(OvintaProgram* programs);

} // namespace ovinta
