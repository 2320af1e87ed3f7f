#pragma once

#include "Editor/Model.hpp"

#include <QWidget>

inline int window()
{
    return model() + 1;
}
