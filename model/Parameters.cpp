// SPDX-License-Identifier: GPL-3.0-or-later
// Host names and labels of the parameters and which editor changes are automation,
// read from the parameter table.

#include "model/Parameters.h"

#include "model/ParameterTable.h"

namespace ovinta {

const char* parameterName(int index)
{
    const param::Row* r = param::row(index);
    return r != nullptr ? r->name : " ";
}

const char* parameterLabel(int index)
{
    const param::Row* r = param::row(index);
    return r != nullptr && r->label != nullptr ? r->label : "amount";
}

bool parameterIsReported(int index)
{
    const param::Row* r = param::row(index);
    return r != nullptr && r->reported;
}

} // namespace ovinta
