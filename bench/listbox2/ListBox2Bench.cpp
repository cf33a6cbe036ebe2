// A 10,000-row list shaped like the monitor's current list: each pass changes one cell of
// every row, remakes its text as drawing would, and sorts; the heap allocations of a
// steady-state pass are counted with a replaced global operator new.
#include <benchmark/benchmark.h>

#include <utility>

#include "bench/support/CountingAllocator.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/ListBox2.h"

namespace {

namespace lb = s::gui::listbox2;
using s::gui::win::ListBox2;

constexpr uint32_t kCells = 12;
constexpr uint32_t kReceived = 8;

struct Column {
  const char16_t* title;
  lb::CellComparator compare;
};
constexpr Column kColumns[kCells] = {
    {u"Protocol", lb::compareTextBinary}, {u"State", lb::compareTextBinary},
    {u"Process ID", lb::compareUInt32},   {u"Process Name", lb::compareTextNoCase},
    {u"Local", lb::compareTextNoCase},    {u"L-Port", lb::compareInt32},
    {u"Remote", lb::compareTextNoCase},   {u"R-Port", lb::compareInt32},
    {u"Received", lb::compareInt64},      {u"Sent", lb::compareInt64},
    {u"Duration", lb::compareInt64},      {u"Process Path", lb::compareTextNoCase},
};

s::PoolPtr<lb::SubRecord> textCell(std::u16string_view text) {
  return lb::newCell(lb::textValue(text), lb::textValueOwner(), lb::showText);
}

// Rows with few distinct leading keys, so that the sort reaches the changing column.
s::PoolPtr<ListBox2> makeList(uint32_t rows, uint32_t primary) {
  s::PoolPtr<ListBox2> list = ListBox2::make();
  for (const Column& column : kColumns) {
    list->addColumn({.title = column.title, .width = 70, .comparator = column.compare});
  }
  list->sortByColumn(primary);
  list->sortByColumn(primary);
  list->sortByColumn(0);
  list->sortByColumn(0);
  for (uint32_t i = 0; i < rows; ++i) {
    s::PoolPtr<lb::Record> owned = lb::newRecord(kCells, nullptr);
    lb::Record* record = owned.get();
    lb::appendCell(record, textCell(i % 3 == 0 ? u"UDP" : u"TCP"));
    lb::appendCell(record, textCell(u"ESTABLISHED"));
    lb::appendCell(record, lb::newCell(1000 + i % 50, nullptr, lb::showU32));
    lb::appendCell(record, textCell(u"program"));
    lb::appendCell(record, textCell(u"127.0.0.1"));
    lb::appendCell(record, lb::newCell(40000 + i, nullptr, lb::showS32));
    lb::appendCell(record, textCell(u"10.0.0.1"));
    lb::appendCell(record, lb::newCell(443, nullptr, lb::showS32));
    for (uint32_t c = 8; c < 11; ++c) {
      lb::appendCell(record,
                     lb::newCell(lb::int64Value(i), lb::int64ValueOwner(), lb::showByteSize));
    }
    lb::appendCell(record, textCell(u"/usr/bin/program"));
    list->appendRecord(std::move(owned));
  }
  list->sort();
  return list;
}

// One refresh: a new byte count in every row, its text remade, one sort.
void updatePass(ListBox2& list, uint64_t pass) {
  uint32_t count = list.recordCount();
  for (uint32_t row = 0; row < count; ++row) {
    lb::Record* record = list.getRecord(row);
    int64_t bytes = static_cast<int64_t>((row * 2654435761U + pass * 40503U) % 1000003U);
    list.setValue(record, record->stamp(), kReceived, lb::int64Value(bytes));
    benchmark::DoNotOptimize(record->cell(kReceived)->text().size());
  }
  list.sort();
}

void BM_UpdateEveryRowAndSort(benchmark::State& state) {
  auto rows = static_cast<uint32_t>(state.range(0));
  auto primary = static_cast<uint32_t>(state.range(1));
  s::PoolPtr<ListBox2> list = makeList(rows, primary);
  uint64_t pass = 0;
  // Warm-up: the pools and buffers reach their steady sizes.
  updatePass(*list, pass++);
  updatePass(*list, pass++);
  uint64_t before = bench::allocationCount();
  uint64_t passes = 0;
  for (auto _ : state) {
    updatePass(*list, pass++);
    ++passes;
  }
  uint64_t made = bench::allocationCount() - before;
  state.counters["allocs_per_pass"] =
      static_cast<double>(made) / static_cast<double>(passes == 0 ? 1 : passes);
  state.counters["rows"] = rows;
}

// Primary key Protocol; second key Process ID (2) as in the monitor, or Received (8), which
// changes every pass and so makes the sort do real work.
BENCHMARK(BM_UpdateEveryRowAndSort)
    ->Args({10000, 2})
    ->Args({10000, kReceived})
    ->Args({1000, kReceived})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
