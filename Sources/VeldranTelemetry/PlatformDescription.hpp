#pragma once

#include <string>

namespace veldran {

// "linux": the platform name written into analytics properties and crash tags.
const char* platformName() noexcept;

// The architecture this build was compiled for ("x86_64", "arm64").
const char* architectureName() noexcept;

// The running kernel's major and minor version ("6.1"); "0.0" when it cannot be read.
std::string osVersion();

}  // namespace veldran
