// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files of an impulse-response export as the tool handles them: the
// base name the exporter numbers, the loudest sample of a written file, and
// the final scaling that puts a normalised export exactly at full scale.

#include <string>
#include <vector>

namespace ovinta {

// PATH without a .wav or .raw ending (any case); any other ending is part
// of the name ("take.2" stays "take.2"). An empty or dot-only name is
// refused (ToolError).
std::string exportBase(const std::string& path);

// The loudest sample of a written export file (format: ExportFormat).
float filePeak(const std::string& path, int format);

// Divides every sample of the float files (kExportWavFloat or kExportRaw)
// by their common peak when that lies above 1.0, so the loudest sample is
// exactly 1.0 and none is above it. The exporter scales its impulse from a
// measuring render, which rounding may leave a step above full scale.
// False when a file could not be read or written back (errno says why).
bool scaleToFullScale(const std::vector<std::string>& files, int format);

} // namespace ovinta
