#pragma once

#include <QString>
#include <QStringList>

// The factory effect "default.bin": looked up in the working directory first (a supplier's
// own file beside a portable copy wins), then beside the executable, then in the installed
// data directory.
namespace FactoryEffect {

constexpr int ledCount = 36;
constexpr int lineNumber = 360;

QStringList candidatePaths();
// The first candidate that exists, or an empty string.
QString find();

} // namespace FactoryEffect
