// The compressed value table against a plain table of doubles, through random
// runs of what loading, following and derived items do to it: every way of
// reading it gives every value back bit for bit, and a decoded column someone
// holds stays valid and right for the rows it had.
#include "data/DataSet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using Plain = std::vector<std::vector<std::vector<double>>>;  // [file][column][row]

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

double awkward(std::mt19937 &random)
{
    static const double values[] = {0.0, -0.0, 1.5, 1e300, -2.5e-300, 4.9e-324, 100, 12.25, 1e15 + 1};
    return random() % 3 ? values[random() % std::size(values)] : double(random() % 1000) / 10;
}

void expectSame(const kavra::PerfData &table, const Plain &plain, std::mt19937 &random, int step)
{
    ASSERT_EQ(table.files(), int(plain.size()));
    for (int f = 1; f <= table.files(); ++f)
        for (int c = 1; c <= table.columns(); ++c) {
            const std::vector<double> &want = plain[size_t(f - 1)][size_t(c - 1)];
            ASSERT_EQ(size_t(table.rows()), want.size());
            const kavra::PerfData::Values got = table.values(c, f);
            const int first = 1 + int(random() % want.size()), count = int(random() % (want.size() - first + 2));
            std::vector<double> part(static_cast<size_t>(count));
            table.decode(c, f, first, count, part.data());
            const int row = 1 + int(random() % want.size());
            ASSERT_TRUE(same(table(row, c, f), want[size_t(row - 1)])) << "step " << step << " value " << row;
            for (size_t r = 0; r < want.size(); ++r)
                ASSERT_TRUE(same((*got)[r], want[r])) << "step " << step << " column " << c << " row " << r + 1;
            for (int k = 0; k < count; ++k)
                ASSERT_TRUE(same(part[size_t(k)], want[size_t(first - 1 + k)])) << "step " << step;
        }
}

}  // namespace

TEST(ValueTable, GivesBackEveryValueThroughGrowthWritesAndNewColumns)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        kavra::PerfData table;
        table.reset(700, 3);
        Plain plain(1, std::vector<std::vector<double>>(3, std::vector<double>(700, 0.0)));
        std::vector<kavra::PerfData::Values> held;  // columns decoded before the changes
        std::vector<std::vector<double>> heldWas;
        for (int step = 0; step < 60; ++step) {
            const int f = 1 + int(random() % size_t(table.files())), c = 1 + int(random() % size_t(table.columns()));
            auto &column = plain[size_t(f - 1)][size_t(c - 1)];
            switch (random() % 6) {
            case 0: {  // rows appended, as following a file adds them
                const int more = 1 + int(random() % 1500);
                table.growRows(table.rows() + more);
                for (auto &file : plain)
                    for (auto &values : file)
                        values.resize(values.size() + size_t(more), 0.0);
                break;
            }
            case 1: {  // a run of rows written near the end, then whole blocks sealed
                const int first = std::max(1, table.rows() - int(random() % 2000));
                std::vector<double> run(size_t(table.rows() - first + 1));
                for (double &v : run)
                    v = awkward(random);
                table.write(c, f, first, run.data(), int(run.size()));
                std::copy(run.begin(), run.end(), column.begin() + (first - 1));
                table.seal();
                break;
            }
            case 2: {  // one cell
                const int row = 1 + int(random() % column.size());
                column[size_t(row - 1)] = awkward(random);
                table(row, c, f) = column[size_t(row - 1)];
                break;
            }
            case 3: {  // a column replaced whole, as a derived item is
                kavra::CompressedColumn values;
                for (double &v : column)
                    v = awkward(random);
                values.append(column.data(), column.size());
                table.setColumn(c, f, std::move(values));
                break;
            }
            case 4:  // another file, or more columns
                if (random() % 2 && table.files() < 4) {
                    table.addLayer(table.makeLayer());
                    plain.push_back(std::vector<std::vector<double>>(size_t(table.columns()),
                                                                     std::vector<double>(size_t(table.rows()), 0.0)));
                } else {
                    table.addColumns(1);
                    for (auto &file : plain)
                        file.push_back(std::vector<double>(size_t(table.rows()), 0.0));
                }
                break;
            default:
                held.push_back(table.values(c, f));
                heldWas.push_back(*held.back());
            }
            expectSame(table, plain, random, step);
        }
        for (size_t h = 0; h < held.size(); ++h)  // still readable: no changed row was written into them
            ASSERT_GE(held[h]->size(), heldWas[h].size());
    }
}
