// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "figures.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace figures {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

long statusKb(const char *field)
{
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == std::string(field) + ":" && in >> value)
            return value;
        in.ignore(1 << 20, '\n');
    }
    return 0;
}

} // namespace figures
