#include "FilePool.h"

#include "Random.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
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
    bool endRecord = true;
    int secondsApart = 60;
};

// Values in every form the value syntax allows; the zero counter stays zero, and
// three items follow the row number with a little noise, so that the correlation
// list has lines (one of them negative).
std::string value(const std::string &item, int row, uint32_t &state)
{
    if (item == "Zero Counter")
        return "0";
    state = state * 1664525u + 1013904223u;
    const uint32_t r = state >> 8;
    if (item == "Lock Waits/s" || item == "Large Item 7")
        return std::to_string(row * 5 + int(r % 7));
    if (item == "Cache Hit Ratio" || item == "Large Item 8")
        return std::to_string(row * 3 + int(r % 4)) + "." + std::to_string(r % 10);
    if (item == "Memory Pages Free")
        return std::to_string(90000 - row * 11 - int(r % 9));
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

std::string timeText(int row, int secondsApart)
{
    const int seconds = 10 * 3600 + row * secondsApart;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
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
        out += timeText(row, layout.secondsApart);
        for (const std::string &item : layout.items)
            out += "," + value(item, row, state);
        out += t;
    }
    if (!layout.endRecord)
        return out;
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

FilePool writeFilePool(const QString &folder)
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

    FilePool pool;
    for (const auto &[name, text] : files) {
        const QString path = folder + QLatin1Char('/') + QString::fromStdString(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.data(), qint64(text.size()));
        pool.paths << path;
    }

    // Enough rows and columns for the reader to share the records among threads.
    Layout large;
    large.node = "NODE6", large.rows = 5000, large.secondsApart = 1, large.valueSeed = 9, large.items.clear();
    for (int i = 1; i <= 300; ++i)
        large.items.push_back("Large Item " + std::to_string(i));
    pool.large = folder + QStringLiteral("/large_5000x300.csv");
    const std::string largeText = fileText(large);
    if (QFileInfo(pool.large).size() != qint64(largeText.size()) || !QFileInfo(pool.large).isFile()) {
        QFile file(pool.large);
        if (file.open(QIODevice::WriteOnly))
            file.write(largeText.data(), qint64(largeText.size()));
    }
    pool.paths.insert(8, pool.large);

    Layout live = plain;
    live.node = "NODE7", live.rows = 400, live.valueSeed = 10, live.endRecord = false;
    pool.live.path = folder + QStringLiteral("/live_changing.csv");
    pool.live.full = fileText(live);
    pool.live.headerEnd = pool.live.full.find("\r\n", pool.live.full.find("Sample Time")) + 2;
    pool.live.length = pool.live.full.size();
    pool.live.items = int(live.items.size());
    pool.live.write();
    pool.paths.insert(9, pool.live.path);

    pool.pipe = folder + QStringLiteral("/pipe.csv");
    if (!QFileInfo(pool.pipe).exists())
        ::mkfifo(QFile::encodeName(pool.pipe).constData(), 0600);
    pool.paths << pool.pipe;
    return pool;
}

void LiveFile::write() const
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(full.data(), qint64(length));
}

QString LiveFile::change(Random &random)
{
    const size_t before = length;
    const int roll = random.below(10);
    if (roll < 2)
        length = full.size();
    else if (roll < 4)  // just after a record
        length = full.find("\r\n", headerEnd + size_t(random.below(int(full.size() - headerEnd)))) + 2;
    else
        length = headerEnd + size_t(random.below(int(full.size() - headerEnd) + 1));
    length = std::min(length, full.size());
    if (length > 0 && full[length - 1] == '\r')
        --length;  // not between the two characters of a terminator
    write();
    return QStringLiteral("%1 %2 to %3 bytes")
        .arg(length > before ? QStringLiteral("grown") : QStringLiteral("cut"))
        .arg(QFileInfo(path).fileName())
        .arg(length);
}

std::pair<int, int> LiveFile::rows() const
{
    int complete = 0;
    size_t lastEnd = headerEnd;
    for (size_t at = full.find("\r\n", headerEnd); at != std::string::npos && at + 2 <= length;
         at = full.find("\r\n", at + 2)) {
        ++complete;
        lastEnd = at + 2;
    }
    const std::string tail = full.substr(lastEnd, length - lastEnd);
    const bool wholeFields = int(std::count(tail.begin(), tail.end(), ',')) >= items;
    return {complete, complete + (wholeFields ? 1 : 0)};
}
