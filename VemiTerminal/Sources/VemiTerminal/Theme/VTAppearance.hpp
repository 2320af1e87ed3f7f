#pragma once

#include <QPalette>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The user's choice of theme; stored by its raw value ("system", "vemi", "noite").
enum class VTAppearance { system, vemi, noite };

inline constexpr std::array<VTAppearance, 3> vtAllAppearances{VTAppearance::system, VTAppearance::vemi,
                                                              VTAppearance::noite};

QString vtRawValue(VTAppearance appearance);
// Exact, case-sensitive match of a raw value; anything else gives no value.
std::optional<VTAppearance> vtAppearance(QStringView rawValue);

// Whether a desktop palette is dark (its window colour is darker than middle grey).
bool vtIsDarkPalette(const QPalette& palette);
// Whether the desktop is dark now, judged from the application palette.
bool vtDesktopIsDark();
