// SPDX-License-Identifier: GPL-3.0-or-later
// Program record: constructor defaults, walls and the index -> field map
// (the parameter table's field column).

#include "model/OvintaProgram.h"

#include "model/ParameterTable.h"

#include <cmath>
#include <cstring>

namespace ovinta {

Wall makeWall(int x1, int y1, int x2, int y2)
{
    Wall w{};
    w.x1 = static_cast<float>(x1);
    w.y1 = static_cast<float>(y1);
    w.x2 = static_cast<float>(x2);
    w.y2 = static_cast<float>(y2);
    w.dx = w.x2 - w.x1;
    w.dy = w.y2 - w.y1;
    const float length = std::sqrt(w.dx * w.dx + w.dy * w.dy);
    w.nx = -w.dy / length;
    w.ny = w.dx / length;
    w.dragEnd = 0;
    return w;
}

OvintaProgram::OvintaProgram()
{
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    parStereoOnOff = 1.0f;
    parReverseOnOff = 0.0f;
    parGain = 0.55f;
    parDryOut = 0.0f;
    parAbsorb = 0.4f;
    parHiCut = 0.5f;
    parAbsorbAir = 0.3f;
    parHiCutAir = 0.0f;
    parNumRays = 1.0f;
    parSpeakerIn1 = 0.0f;
    parSpeakerIn2 = 1.0f;
    parSpeakerOut1 = parSpeakerOut2 = parSpeakerOut3 = parSpeakerOut4 = -1.0f;
    parSpeakerOut5 = -1.0f; // unassigned, like its neighbours
    parEarsX = parEarsY = 0.5f;
    parSource1X = 0.44f;
    parSource1Y = 0.5f;
    parSource2X = 0.56f;
    parSource2Y = 0.5f;
    parHeadAngle = 0.5f;
    parDiffusion = 0.633333f;
    parScale = parPreDelay = 0.5f;
    parPanX = parPanY = 0.5f;
    parSurround = 0.0f;
    parDiffSize = 0.5f;
    parDiffLoPass = 1.0f;
    parBend = 0.5f;
    parScatter = 0.0f;
    parHeight = 0.1f;
    parEQfreq1 = 0.25f;
    parEQfreq2 = 0.33f;
    parEQfreq3 = 0.66f;
    parEQfreq4 = 0.8f;
    parEQgain1 = parEQgain2 = parEQgain3 = parEQgain4 = 0.0f;
    parEQwide1 = 0.2f;
    parEQwide2 = 0.2f;
    parEQwide3 = 0.3f;
    parEQwide4 = 0.2f;
    wallCount = 0;
    setName("Init");
}

void OvintaProgram::AddWall(int x1, int y1, int x2, int y2)
{
    walls[wallCount] = makeWall(x1, y1, x2, y2);
    ++wallCount;
}

void OvintaProgram::setName(const char* text)
{
    std::memset(name, 0, sizeof(name));
    if (text != nullptr)
        std::strncpy(name, text, kProgramNameSize - 1);
}

float* programField(OvintaProgram& program, int index)
{
    const param::Row* r = param::row(index);
    if (r == nullptr || r->field == nullptr)
        return nullptr;
    return &(program.*(r->field));
}

const float* programField(const OvintaProgram& program, int index)
{
    return programField(const_cast<OvintaProgram&>(program), index);
}

} // namespace ovinta
