#include "data/PerfData.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <unordered_map>

namespace kavra {
namespace {

using Decoded = std::shared_ptr<std::vector<double>>;

uint64_t newId()
{
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

// The decoded columns of every table, by the id of their content. A column that
// changes takes a new id, so a stale copy is never found; one that only grows
// has its copy extended (see update).
class DecodedCache {
public:
    static constexpr size_t kMaxBytes = size_t(32) << 20;
    static constexpr size_t kMaxColumns = 64;

    static DecodedCache &shared()
    {
        static DecodedCache cache;
        return cache;
    }

    Decoded find(uint64_t id)
    {
        const std::lock_guard lock(mutex_);
        const auto it = index_.find(id);
        if (it == index_.end())
            return {};
        lru_.splice(lru_.begin(), lru_, it->second);
        return it->second->values;
    }

    void insert(uint64_t id, Decoded values)
    {
        const std::lock_guard lock(mutex_);
        if (index_.count(id))
            return;
        bytes_ += bytesOf(values);
        lru_.push_front({id, std::move(values)});
        index_[id] = lru_.begin();
        trim();
    }

    // The copy of oldId's content, if there is one, becomes newId's after
    // change brings it up to date (in place, or by putting a new vector there).
    void update(uint64_t oldId, uint64_t newId, const std::function<void(Decoded &)> &change)
    {
        const std::lock_guard lock(mutex_);
        const auto it = index_.find(oldId);
        if (it == index_.end())
            return;
        const auto entry = it->second;
        index_.erase(it);
        bytes_ -= bytesOf(entry->values);
        change(entry->values);
        bytes_ += bytesOf(entry->values);
        entry->id = newId;
        index_[newId] = entry;
    }

    void forget(uint64_t id)
    {
        const std::lock_guard lock(mutex_);
        if (const auto it = index_.find(id); it != index_.end()) {
            bytes_ -= bytesOf(it->second->values);
            lru_.erase(it->second);
            index_.erase(it);
        }
    }

private:
    struct Entry {
        uint64_t id;
        Decoded values;
    };
    static size_t bytesOf(const Decoded &v) { return v->capacity() * sizeof(double); }

    // Least recently used first; a column someone still holds stays, as its
    // memory is not given back by dropping it.
    void trim()
    {
        for (auto it = lru_.end(); (bytes_ > kMaxBytes || lru_.size() > kMaxColumns) && it != lru_.begin();) {
            --it;
            if (it->values.use_count() > 1)
                continue;
            bytes_ -= bytesOf(it->values);
            index_.erase(it->id);
            it = lru_.erase(it);
        }
    }

    std::mutex mutex_;
    std::list<Entry> lru_;
    std::unordered_map<uint64_t, std::list<Entry>::iterator> index_;
    size_t bytes_ = 0;
};

}  // namespace

PerfData::PerfData() { reset(1, 1); }

PerfData::PerfData(const PerfData &other) : rows_(other.rows_), columns_(other.columns_), files_(other.files_)
{
    renumber();
}

PerfData &PerfData::operator=(const PerfData &other)
{
    if (this != &other) {
        rows_ = other.rows_;
        columns_ = other.columns_;
        files_ = other.files_;
        renumber();
    }
    return *this;
}

PerfData &PerfData::operator=(PerfData &&other) noexcept
{
    if (this != &other) {
        forgetAll();
        rows_ = other.rows_;
        columns_ = other.columns_;
        files_ = std::move(other.files_);
        other.files_.clear();
    }
    return *this;
}

PerfData::~PerfData() { forgetAll(); }

void PerfData::renumber()
{
    // A copy changes apart from its original, so it must not share cached copies.
    for (auto &file : files_)
        for (Slot &s : file) {
            s.id = newId();
            s.pinned.reset();
        }
}

void PerfData::forgetAll()
{
    for (const auto &file : files_)
        for (const Slot &s : file)
            DecodedCache::shared().forget(s.id);
}

PerfData::Slot PerfData::zeroSlot() const
{
    Slot s;
    s.id = newId();
    s.packed.appendZeros(size_t(rows_));
    s.packed.shrinkToFit();
    return s;
}

void PerfData::reset(int rows, int columns, std::vector<CompressedColumn> file)
{
    forgetAll();
    files_.clear();
    rows_ = std::max(rows, 1);
    columns_ = std::max(columns, 1);
    addFile(std::move(file));
}

void PerfData::addFile(std::vector<CompressedColumn> columns)
{
    std::vector<Slot> file;
    file.reserve(size_t(columns_));
    const Slot zero = zeroSlot();
    for (size_t c = 0; c < size_t(columns_); ++c) {
        if (c < columns.size() && columns[c].rows() > 0) {
            Slot s;
            s.id = newId();
            s.packed = std::move(columns[c]);
            s.packed.appendZeros(size_t(rows_) - std::min(s.packed.rows(), size_t(rows_)));
            file.push_back(std::move(s));
        } else {
            file.push_back(zero);
            file.back().id = newId();
        }
    }
    files_.push_back(std::move(file));
}

PerfData::Layer PerfData::makeLayer() const { return Layer(size_t(rows_) * size_t(columns_), 0.0); }

void PerfData::addLayer(const Layer &layer)
{
    std::vector<CompressedColumn> columns(static_cast<size_t>(columns_));
    for (size_t c = 0; c < columns.size() && (c + 1) * size_t(rows_) <= layer.size(); ++c)
        columns[c].append(layer.data() + c * size_t(rows_), size_t(rows_));
    addFile(std::move(columns));
}

void PerfData::addColumns(int count)
{
    const Slot zero = zeroSlot();
    for (auto &file : files_)
        for (int i = 0; i < count; ++i) {
            file.push_back(zero);
            file.back().id = newId();
        }
    columns_ += std::max(count, 0);
}

void PerfData::removeLastLayer()
{
    if (files_.size() > 1) {
        for (const Slot &s : files_.back())
            DecodedCache::shared().forget(s.id);
        files_.pop_back();
    }
}

void PerfData::growRows(int rows)
{
    if (rows <= rows_)
        return;
    const size_t from = size_t(rows_);
    rows_ = rows;
    for (auto &file : files_)
        for (Slot &s : file) {
            s.open.resize(s.open.size() + (size_t(rows) - from), 0.0);
            changed(s, from, size_t(rows));
        }
}

void PerfData::decodeSlot(const Slot &s, size_t first, size_t count, double *out)
{
    const size_t packed = s.packed.rows();
    if (first < packed) {
        const size_t n = std::min(count, packed - first);
        s.packed.decode(first, n, out);
        first += n;
        count -= n;
        out += n;
    }
    if (count > 0)  // the rest lies in the open rows
        std::copy_n(s.open.data() + (first - packed), count, out);
}

double PerfData::value(int row, int column, int file) const
{
    assert(row >= 1 && row <= rows_);
    const Slot &s = slot(column, file);
    const size_t i = size_t(row - 1), packed = s.packed.rows();
    if (i >= packed)
        return s.open[i - packed];
    if (const Decoded held = DecodedCache::shared().find(s.id); held && held->size() > i)
        return (*held)[i];
    return s.packed.value(i);
}

PerfData::Values PerfData::values(int column, int file) const
{
    const Slot &s = slot(column, file);
    if (Decoded held = DecodedCache::shared().find(s.id); held && held->size() == size_t(rows_))
        return held;
    auto decoded = std::make_shared<std::vector<double>>(size_t(rows_));
    decodeSlot(s, 0, size_t(rows_), decoded->data());
    DecodedCache::shared().insert(s.id, decoded);
    return decoded;
}

void PerfData::decode(int column, int file, int firstRow, int count, double *out) const
{
    assert(firstRow >= 1 && count >= 0 && firstRow - 1 + count <= rows_);
    decodeSlot(slot(column, file), size_t(firstRow - 1), size_t(count), out);
}

bool PerfData::zeros(int column, int file, int firstRow, int count) const
{
    constexpr int kRows = int(CompressedColumn::kBlockRows);
    double block[kRows];
    for (int r = firstRow; r < firstRow + count; r += kRows) {
        const int n = std::min(kRows, firstRow + count - r);
        decode(column, file, r, n, block);
        if (std::any_of(block, block + n, [](double v) { return v != 0; }))
            return false;
    }
    return true;
}

const double *PerfData::column(int column, int file) const
{
    const Slot &s = slot(column, file);
    if (!s.pinned || s.pinnedId != s.id) {
        s.pinned = values(column, file);
        s.pinnedId = s.id;
    }
    return s.pinned->data();
}

void PerfData::setColumn(int column, int file, CompressedColumn values)
{
    Slot &s = slot(column, file);
    DecodedCache::shared().forget(s.id);
    s.packed = std::move(values);
    s.packed.appendZeros(size_t(rows_) - std::min(s.packed.rows(), size_t(rows_)));
    s.open.clear();
    s.id = newId();
    s.pinned.reset();
}

void PerfData::openFrom(Slot &s, size_t first)
{
    if (first >= s.packed.rows())
        return;
    std::vector<double> open;
    s.packed.takeFrom(first, open);
    open.insert(open.end(), s.open.begin(), s.open.end());
    s.open = std::move(open);
}

void PerfData::changed(Slot &s, size_t firstChanged, size_t rows)
{
    const uint64_t id = newId();
    DecodedCache::shared().update(s.id, id, [&](Decoded &v) {
        if (v->capacity() < rows) {
            // Room for a quarter more, so a followed file's growth seldom moves it.
            auto grown = std::make_shared<std::vector<double>>();
            grown->reserve(rows + std::max<size_t>(rows / 4, 4096));
            grown->assign(v->begin(), v->begin() + std::ptrdiff_t(std::min(firstChanged, v->size())));
            v = std::move(grown);
        }
        const size_t from = std::min(firstChanged, v->size());
        v->resize(rows);
        decodeSlot(s, from, rows - from, v->data() + from);
    });
    s.id = id;
}

void PerfData::set(int row, int column, int file, double v)
{
    assert(row >= 1 && row <= rows_);
    Slot &s = slot(column, file);
    openFrom(s, size_t(row - 1));
    s.open[size_t(row - 1) - s.packed.rows()] = v;
    changed(s, size_t(row - 1), size_t(rows_));
}

void PerfData::write(int column, int file, int firstRow, const double *values, int count)
{
    count = std::min(count, rows_ - (firstRow - 1));
    if (firstRow < 1 || count <= 0)
        return;
    Slot &s = slot(column, file);
    openFrom(s, size_t(firstRow - 1));
    std::copy_n(values, count, s.open.data() + (size_t(firstRow - 1) - s.packed.rows()));
    changed(s, size_t(firstRow - 1), size_t(rows_));
}

void PerfData::sealSlot(Slot &s)
{
    const size_t full = s.open.size() / CompressedColumn::kBlockRows * CompressedColumn::kBlockRows;
    if (full == 0)
        return;
    s.packed.append(s.open.data(), full);
    s.open.erase(s.open.begin(), s.open.begin() + std::ptrdiff_t(full));
}

void PerfData::seal()
{
    for (auto &file : files_)
        for (Slot &s : file)
            sealSlot(s);
}

size_t PerfData::byteSize() const
{
    size_t bytes = 0;
    for (const auto &file : files_)
        for (const Slot &s : file)
            bytes += s.packed.byteSize() + s.open.capacity() * sizeof(double);
    return bytes;
}

}  // namespace kavra
