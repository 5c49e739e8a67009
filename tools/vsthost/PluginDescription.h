// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a host sees of a loaded plug-in, printed as readable text: identity,
// flags, inputs and outputs with their pins and speakers, every parameter,
// every program and the answers to the usual capability questions.

#include <ostream>

namespace ovinta {

class VstHost;

void printPluginDescription(VstHost& host, std::ostream& out);

} // namespace ovinta
