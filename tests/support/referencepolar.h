#pragma once

#include "convert/polarconversion.h"

// The conversion written plainly: every dot sampled, calibrated through the table's
// getters and painted with its own painter call. Slow, but easy to check by eye.
Polar::Result referenceResample(const QImage& source, int ledCount, int lineNumber);
