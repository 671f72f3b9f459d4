// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

// What every phase of the bench makes its figures with.
#pragma once

#include <vector>

namespace figures {

// The median of the values; 0 for none.
double median(std::vector<double> values);
// A kilobyte figure from /proc/self/status ("VmRSS", "VmHWM").
long statusKb(const char *field);

} // namespace figures
