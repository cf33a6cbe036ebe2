// Pools, the hash set and the merge sort against their standard-library counterparts. After
// the runs it prints each pair's time ratio (ours / theirs: below 1.00x is faster).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/base/Pooled.h"
#include "framework/col/ArrayP.h"
#include "framework/col/Map.h"
#include "framework/col/MergeSort.h"

namespace {

// A small pooled object, the kind the refresh cycle takes and releases.
class Probe final : public s::Pooled<Probe, s::PoolableObject> {
 public:
  void reset() override {
    id_ = 0;
    bytes_ = 0;
  }
  std::u16string_view className() const override { return u"s_bench_Probe"; }

 private:
  uint64_t id_ = 0;
  int64_t bytes_ = 0;
};

void poolTakeGiveBack(benchmark::State& state) {
  Probe::take()->release();  // the pool and one free object exist before timing
  for (auto _ : state) {
    Probe* probe = Probe::take();
    // The read-only form: g++ may split the read-write form's "+r,m" operand.
    benchmark::DoNotOptimize(std::as_const(probe));
    probe->release();
  }
}
BENCHMARK(poolTakeGiveBack);

void newDelete(benchmark::State& state) {
  for (auto _ : state) {
    auto probe = std::make_unique<Probe>();
    benchmark::DoNotOptimize(probe.get());
  }
}
BENCHMARK(newDelete);

// A key hashed and compared through the object interface, as records are.
class Key final : public s::IObject {
 public:
  explicit Key(uint64_t id) : id_(id) {}
  bool equals(const IObject& other, const s::IComparator<IObject>* /*comparator*/) const override {
    return id_ == static_cast<const Key&>(other).id_;
  }
  uint32_t hashCode() const override {
    uint64_t mixed = id_ * 0x9E3779B97F4A7C15ULL;
    return static_cast<uint32_t>(mixed >> 32);
  }
  std::u16string_view className() const override { return u"s_bench_Key"; }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new Key(id_)); }

 private:
  uint64_t id_;
};

constexpr uint32_t kElements = 100'000;

// The stored keys and equal but distinct probes to look them up with.
struct KeySet {
  KeySet() {
    std::mt19937_64 random(1);
    for (uint32_t i = 0; i < kElements; ++i) {
      uint64_t id = random();
      stored.push_back(std::make_unique<Key>(id));
      probes.push_back(std::make_unique<Key>(id));
    }
  }
  std::vector<std::unique_ptr<Key>> stored;
  std::vector<std::unique_ptr<Key>> probes;
};
const KeySet& keySet() {
  static const KeySet keys;
  return keys;
}

void mapAddFind(benchmark::State& state) {
  const KeySet& keys = keySet();
  for (auto _ : state) {
    s::col::Map<Key> set;
    for (const auto& key : keys.stored) {
      set.add(key.get());
    }
    uint32_t found = 0;
    for (const auto& probe : keys.probes) {
      found += set.contains(*probe) ? 1 : 0;
    }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(mapAddFind)->Unit(benchmark::kMillisecond);

struct KeyHash {
  size_t operator()(const Key* key) const { return key->hashCode(); }
};
struct KeyEqual {
  bool operator()(const Key* a, const Key* b) const { return a->equals(*b, nullptr); }
};

void unorderedSetAddFind(benchmark::State& state) {
  const KeySet& keys = keySet();
  for (auto _ : state) {
    std::unordered_set<const Key*, KeyHash, KeyEqual> set;
    for (const auto& key : keys.stored) {
      set.insert(key.get());
    }
    uint32_t found = 0;
    for (const auto& probe : keys.probes) {
      found += set.contains(probe.get()) ? 1 : 0;
    }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(unorderedSetAddFind)->Unit(benchmark::kMillisecond);

struct Record {
  uint32_t key;
};

struct SortInput {
  SortInput() : records(kElements) {
    std::mt19937 random(2);
    for (Record& record : records) {
      record.key = random();
      items.push_back(&record);
    }
  }
  std::vector<Record> records;
  std::vector<Record*> items;
};
const SortInput& sortInput() {
  static const SortInput input;
  return input;
}

void mergeSortPointers(benchmark::State& state) {
  const SortInput& input = sortInput();
  std::vector<Record*> items;
  s::col::ArrayP<Record> scratch;
  for (auto _ : state) {
    items = input.items;
    s::col::mergeSort(
        items.data(), kElements,
        [](const Record* a, const Record* b) { return (a->key > b->key) - (a->key < b->key); },
        scratch);
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(mergeSortPointers)->Unit(benchmark::kMillisecond);

void stableSortPointers(benchmark::State& state) {
  const SortInput& input = sortInput();
  std::vector<Record*> items;
  for (auto _ : state) {
    items = input.items;
    std::stable_sort(items.begin(), items.end(),
                     [](const Record* a, const Record* b) { return a->key < b->key; });
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(stableSortPointers)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's CPU time per iteration in nanoseconds (CPU time:
// the machine is shared, and waiting for a core is not the code's cost).
class CapturingReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // With --benchmark_repetitions the median stands for the runs.
    for (const Run& run : runs) {
      bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median) {
        medians[run.run_name.str()] = run.GetAdjustedCPUTime() * nanosecondsPer(run.time_unit);
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        nanoseconds[run.run_name.str()] =
            run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double cpuNanoseconds(const std::string& name) const {
    if (auto median = medians.find(name); median != medians.end()) {
      return median->second;
    }
    auto single = nanoseconds.find(name);
    return single == nanoseconds.end() ? -1 : single->second;
  }

 private:
  static double nanosecondsPer(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kSecond:
        return 1e9;
      case benchmark::kMillisecond:
        return 1e6;
      case benchmark::kMicrosecond:
        return 1e3;
      default:
        return 1;
    }
  }

  std::map<std::string, double> nanoseconds;
  std::map<std::string, double> medians;
};

void printRatio(const CapturingReporter& reporter, const char* label, const std::string& ours,
                const std::string& theirs) {
  double a = reporter.cpuNanoseconds(ours);
  double b = reporter.cpuNanoseconds(theirs);
  if (a < 0 || b <= 0) {
    return;  // filtered out
  }
  std::printf("%s: %.2fx (%.4g ns vs %.4g ns CPU)\n", label, a / b, a, b);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  CapturingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\nTime ratios, ours / standard (below 1.00x is faster):\n");
  printRatio(reporter, "pool take+giveBack vs new/delete", "poolTakeGiveBack", "newDelete");
  printRatio(reporter, "Map add+find 100000 vs std::unordered_set", "mapAddFind",
             "unorderedSetAddFind");
  printRatio(reporter, "mergeSort 100000 pointers vs std::stable_sort", "mergeSortPointers",
             "stableSortPointers");
  return 0;
}
