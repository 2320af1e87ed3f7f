#pragma once

#include "Lower/Lower.hpp"

inline int upper()
{
    return lower() + 1;
}
