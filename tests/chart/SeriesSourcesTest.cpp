#include "chart/SeriesSources.h"

#include "data/DataSet.h"

#include <gtest/gtest.h>

namespace {

using kavra::SeriesSources;
using kavra::SeriesValues;

// Two files of 6 rows and 3 columns; value = 100 * file + 10 * column + row.
kavra::DataSet sixRows()
{
    kavra::DataSet data;
    data.Perf_Data.reset(6, 3);  // file 1
    data.Perf_Data.addLayer(data.Perf_Data.makeLayer());
    for (int file = 1; file <= 2; ++file)
        for (int c = 1; c <= 3; ++c)
            for (int r = 1; r <= 6; ++r)
                data.Perf_Data(r, c, file) = 100.0 * file + 10.0 * c + r;
    data.Files_Open = 2;
    data.Row_Count = 6;
    for (int r = 1; r <= 6; ++r)
        data.Xaxis_Values.push_back(46000.0 + r);
    return data;
}

std::vector<double> ys(const SeriesValues &v)
{
    return {v.y, v.y + v.n};
}

}  // namespace

TEST(SeriesSources, GiveTheRowsOfAnItemOfAFileWithTheirTimes)
{
    kavra::DataSet data = sixRows();
    SeriesSources sources;
    sources.setRows(0, 2, 2, 3, 3);
    const SeriesValues v = sources.values(0, data);
    ASSERT_EQ(v.n, 3u);
    EXPECT_EQ(ys(v), (std::vector<double>{223, 224, 225}));
    EXPECT_EQ(v.x[0], 46003.0);

    // The table grows (a derived item) and moves: the source still finds its values.
    data.Perf_Data.addColumns(40);
    EXPECT_EQ(ys(sources.values(0, data)), (std::vector<double>{223, 224, 225}));
}

TEST(SeriesSources, GiveNothingForSeriesWithoutSourceOrRowsTheDataNoLongerHas)
{
    kavra::DataSet data = sixRows();
    SeriesSources sources;
    sources.setRows(2, 1, 1, 5, 4);            // rows 5 to 8 of 6
    EXPECT_EQ(sources.values(0, data).n, 0u);  // a gap before series 2
    EXPECT_EQ(sources.values(2, data).n, 0u);
    EXPECT_EQ(sources.values(9, data).n, 0u);
    sources.setRows(1, 1, 3, 1, 2);  // file 3 of 2
    EXPECT_EQ(sources.values(1, data).n, 0u);
    sources.setRows(1, 4, 1, 1, 2);  // column 4 of 3
    EXPECT_EQ(sources.values(1, data).n, 0u);
}

TEST(SeriesSources, ComputedValuesKeepTheRowsOfTheirSeriesThroughExchangesAndTruncation)
{
    const kavra::DataSet data = sixRows();
    SeriesSources sources;
    sources.setRows(0, 1, 1, 2, 4);
    sources.setComputed(1, 0, {1.5, 2.5, 3.5, 4.5});
    sources.exchange(0, 1);
    const SeriesValues computed = sources.values(0, data);
    ASSERT_EQ(computed.n, 4u);
    EXPECT_EQ(ys(computed), (std::vector<double>{1.5, 2.5, 3.5, 4.5}));
    EXPECT_EQ(computed.x[0], 46002.0);
    EXPECT_EQ(ys(sources.values(1, data)), (std::vector<double>{112, 113, 114, 115}));

    sources.truncate(1);
    EXPECT_EQ(sources.values(1, data).n, 0u);
    EXPECT_EQ(sources.values(0, data).n, 4u);
    sources.clear();
    EXPECT_EQ(sources.values(0, data).n, 0u);
}
