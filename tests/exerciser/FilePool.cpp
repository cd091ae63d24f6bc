#include "FilePool.h"

#include <QFile>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kItems = {
    "CPU Busy",     "CPU Busy Cpu 01",     "MP Sync Time",        "Disk Rate DSK01", "Memory Pages Free",
    "Zero Counter", "Net Bytes In/s LAN1", "Process Busy $DATA2", "Cache Hit Ratio", "Lock Waits/s",
};
const std::vector<std::string> kExtraItems = {"Line Errors $LINE02", "Dispatches/s Cpu 02",  "Disk Queue DSK07",
                                              "Interrupts/s Cpu 00", "File Cache Hit Ratio", "Pathway Queue Depth"};

struct Layout {
    std::string node = "NODE1";
    std::vector<std::string> items = kItems;
    int rows = 60;
    bool block = false;
    std::string terminator = "\r\n";
    uint32_t valueSeed = 1;
};

// Values in every form the value syntax allows; the zero counter stays zero.
std::string value(const std::string &item, int row, uint32_t &state)
{
    if (item == "Zero Counter")
        return "0";
    state = state * 1664525u + 1013904223u;
    const uint32_t r = state >> 8;
    switch (r % 7) {
    case 0: return std::to_string(r % 1000);
    case 1: return std::to_string(r % 90) + "." + std::to_string(r % 100);
    case 2: return std::to_string(r % 50) + "K";
    case 3: return std::to_string(1 + r % 9) + ".5M";
    case 4: return std::to_string(r % 100) + "%";
    case 5: return "." + std::to_string(r % 100);
    default: return std::to_string(row) + "E2";
    }
}

std::string timeText(int row)
{
    const int minutes = 10 * 60 + row;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:00", minutes / 60 % 24, minutes % 60);
    return row == 0 ? std::string("06-DEC-2026 ") + text : std::string(text);
}

std::string fileText(const Layout &layout)
{
    const std::string &t = layout.terminator;
    std::string out = layout.node + ",Vesk collector 4.2,Interval 60s" + t + "06-DEC-2026,10:00:00,Collection" + t;
    std::string header = "Sample Time";
    for (size_t i = 0; i < layout.items.size(); ++i)
        header += (layout.block && i == 4 ? t : std::string(",")) + layout.items[i];
    out +=
        layout.block ? "$$$ START COLUMN HEADERS $$$" + t + header + t + "$$$ END COLUMN HEADERS $$$" + t : header + t;
    uint32_t state = layout.valueSeed;
    for (int row = 0; row < layout.rows; ++row) {
        out += timeText(row);
        for (const std::string &item : layout.items)
            out += "," + value(item, row, state);
        out += t;
    }
    out += "Column Average";
    for (size_t i = 0; i < layout.items.size(); ++i)
        out += ",1";
    return out + t;
}

std::vector<std::string> shuffledWithExtras()
{
    std::vector<std::string> items = {kItems[3], kItems[0],      kExtraItems[0], kItems[2], kItems[9],
                                      kItems[1], kExtraItems[1], kItems[5],      kItems[4]};
    return items;
}

std::vector<std::string> wider()
{
    std::vector<std::string> items = kItems;
    items.insert(items.end(), kExtraItems.begin(), kExtraItems.end());
    return items;
}

}  // namespace

QStringList writeFilePool(const QString &folder)
{
    std::vector<std::pair<std::string, std::string>> files;
    Layout plain;
    files.push_back({"good_plain_crlf.csv", fileText(plain)});
    Layout block;
    block.node = "NODE2", block.block = true, block.terminator = "\n", block.valueSeed = 2;
    files.push_back({"good_block_lf.csv", fileText(block)});
    Layout cr = plain;
    cr.terminator = "\r", cr.valueSeed = 3, cr.rows = 200;
    files.push_back({"good_plain_cr_long.csv", fileText(cr)});
    Layout blockCrlf = block;
    blockCrlf.terminator = "\r\n", blockCrlf.valueSeed = 4;
    files.push_back({"good_block_crlf.csv", fileText(blockCrlf)});
    Layout second;
    second.node = "NODE3", second.items = shuffledWithExtras(), second.valueSeed = 5;
    files.push_back({"node3_shuffled_extra.csv", fileText(second)});
    Layout wide;
    wide.node = "NODE4", wide.items = wider(), wide.valueSeed = 6, wide.rows = 80;
    files.push_back({"node4_wider.csv", fileText(wide)});
    Layout narrow;
    narrow.node = "NODE5", narrow.items = {kItems[0], kItems[2], kItems[6]}, narrow.rows = 30, narrow.valueSeed = 7;
    files.push_back({"node5_narrower.csv", fileText(narrow)});
    Layout oneRow = plain;
    oneRow.rows = 1, oneRow.valueSeed = 8;
    files.push_back({"good_one_row.csv", fileText(oneRow)});

    const std::string good = fileText(plain);
    files.push_back({"broken_truncated.csv", good.substr(0, good.size() / 2 + 3)});
    std::string badValue = good;
    badValue.replace(badValue.find(",", badValue.find("10:05:00")), 1, ", N/a ,");
    files.push_back({"broken_bad_value.csv", badValue});
    std::string noEnd = fileText(block);
    noEnd.erase(noEnd.find("$$$ END COLUMN HEADERS $$$"), 27);
    files.push_back({"broken_no_header_end.csv", noEnd});
    files.push_back({"broken_empty.csv", ""});
    files.push_back({"broken_record1_only.csv", "NODE1,Vesk collector\r\n"});
    files.push_back({"broken_binary.csv", std::string("\x7f"
                                                      "ELF\0\0\x01\n\x02\x03,,\n\n",
                                                      14)});

    QStringList paths;
    for (const auto &[name, text] : files) {
        const QString path = folder + QLatin1Char('/') + QString::fromStdString(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.data(), qint64(text.size()));
        paths << path;
    }
    return paths;
}
