// Micro-benchmarks of the hot paths of loading: reading value fields.

#include "data/FieldReader.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void BM_ReadValue(benchmark::State &state)
{
    const std::vector<std::string> fields = {"1234.56", "12.5K", "45.2%", "1.25E-3", ".25", "0", "987654.321"};
    std::string scratch;
    double sum = 0;
    for (auto _ : state) {
        for (const std::string &field : fields)
            sum += kavra::readValue(kavra::prepareField(field, scratch)).value;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fields.size()));
}
BENCHMARK(BM_ReadValue);

}  // namespace
