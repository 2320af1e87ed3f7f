#include "Lower.hpp"

#include "Upper/Upper.hpp"

int lower()
{
    return 1;
}
