#pragma once
// Data files of any size for the chart tests, in the plain layout.

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

// "Item 01", "Item 02", ...: names that keep their order in the sorted item list.
inline std::vector<std::string> itemNames(int count)
{
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Item %02d", i);
        names.push_back(name);
    }
    return names;
}

// One sample a minute from 10:00:00 of the given day; value(item, row) gives the
// values, item and row counted from 1.
inline std::string perfFile(const std::vector<std::string> &names, int rows,
                            const std::function<double(int item, int row)> &value,
                            const std::string &day = "06-DEC-2026", const std::string &node = "NODE1")
{
    std::ostringstream out;
    out.precision(15);
    out << node << ",Collection of the day\r\n" << day << ",10:00:00\r\nSample Time";
    for (const std::string &name : names)
        out << ',' << name;
    out << "\r\n";
    for (int row = 1; row <= rows; ++row) {
        const int minutes = 600 + row - 1;
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:00", minutes / 60 % 24, minutes % 60);
        out << day << ' ' << time;
        for (int item = 1; item <= int(names.size()); ++item)
            out << ',' << value(item, row);
        out << "\r\n";
    }
    return out.str();
}
