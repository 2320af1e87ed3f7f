#pragma once

// The error template lives in TilvaneShared, which every module with error enumerations links.
#include "TilvaneShared/EnumeratedError.hpp"
