// Open, change one cell and save: what every command that books a row costs on the account
// workbook, for a ledger of a few years (5,000 rows), a large one (30,000 rows) and a very
// large one (120,000 rows), 22 columns each of dates, amounts, whole numbers and texts as the
// ledger holds them. Each codec benchmark also reports its time as a multiple of zlib alone
// inflating or deflating the same sheet XML, measured in the same run on the thread's CPU
// clock, so that the load of the machine cancels out.
#include "BenchSupport.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "store/SpreadsheetHost.h"
#include "store/ZipPackage.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kColumns = 22;

std::unique_ptr<Workbook> ledgerWorkbook(int rows) {
    auto wb = std::make_unique<Workbook>("Befszla.xls");
    Sheet &s = wb->addSheet("Befszla01");
    FormatRef date = internFormat(CellFormat{kDefaultDateFormat, false, HAlign::Left, false});
    FormatRef amount = internFormat(CellFormat{"#,##0.00", false, HAlign::Right, true});
    FormatRef whole = internFormat(CellFormat{"0", false, HAlign::Right, false});
    FormatRef heading = internFormat(CellFormat{"General", true, HAlign::Center, false});
    const char *products[] = {"Alfa Nyrt.", "Béta Zrt.", "Gamma Bank", "Délibáb Rt.", "Ősz Kft."};
    for (int c = 1; c <= kColumns; ++c) {
        s.setCellFormat(4, c, heading);
        s.setValue(4, c, "Oszlop " + std::to_string(c));
        s.setColumnWidth(c, 10 + c % 5);
    }
    Date day = *Date::fromYmd(2010, 1, 4);
    for (int r = 5; r < 5 + rows; ++r) {
        s.setCellFormat(r, 1, date);
        s.setValue(r, 1, day.addDays(r / 3));
        s.setCellFormat(r, 2, whole);
        s.setValue(r, 2, r);
        s.setValue(r, 3, products[r % 5]);
        for (int c = 4; c <= 20; ++c) {
            s.setCellFormat(r, c, amount);
            s.setValue(r, c, Currency::fromRaw((static_cast<std::int64_t>(r) * 7919 + c * 104729) % 100000000 - 20000000));
        }
        s.setCellFormat(r, 21, whole);
        s.setValue(r, 21, r % 250);
        s.setValue(r, 22, "Megjegyzés a(z) " + std::to_string(r) + ". sorhoz");
    }
    return wb;
}

// One file per size in a temporary folder, written once for all benchmarks.
fs::path ledgerFile(int rows) {
    static bench::FoldersBySize folders("vandorix-bench");
    return folders.get(rows, [rows](const fs::path &folder) {
        writeFileAtomically(folder / "Befszla.xls", encodeWorkbook(*ledgerWorkbook(rows)));
    }) / "Befszla.xls";
}

// The process's CPU time, so that a part inflated on a helper thread counts as work done.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The median CPU time of a few runs of `f`.
template <class F> double medianSeconds(F f, int runs = 5) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = cpuSeconds();
        f();
        times.push_back(cpuSeconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The floor the file layer is measured against: zlib alone deflating (at the level the writer
// uses) and inflating the same sheet XML, with no XML work at all.
std::string sheetXml(int rows) {
    ZipReader zip(readWholeFile(ledgerFile(rows)));
    std::optional<std::string> xml = zip.read("xl/worksheets/sheet1.xml");
    if (!xml) std::abort();
    return *xml;
}

std::string rawDeflate(const std::string &in) {
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
    std::string out(deflateBound(&z, in.size()), '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string rawInflate(const std::string &in, std::size_t size) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) std::abort();
    std::string out(size, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (inflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
    inflateEnd(&z);
    return out;
}

struct Floor {
    double inflate;
    double deflate;
};

// zlib's times for the sheet XML of `rows` rows, measured once per size.
const Floor &zlibFloor(int rows) {
    static std::map<int, Floor> floors;
    auto it = floors.find(rows);
    if (it != floors.end()) return it->second;
    const std::string xml = sheetXml(rows);
    const std::string packed = rawDeflate(xml);
    Floor f{medianSeconds([&] { benchmark::DoNotOptimize(rawInflate(packed, xml.size())); }),
            medianSeconds([&] { benchmark::DoNotOptimize(rawDeflate(xml)); })};
    return floors.emplace(rows, f).first->second;
}

// Runs the benchmark loop body on the process's CPU clock and reports its time per iteration
// divided by `floorSeconds` as the counter `name`.
template <class F>
void timedAgainst(benchmark::State &state, const char *name, double floorSeconds, F body) {
    double used = 0;
    for (auto _ : state) {
        double start = cpuSeconds();
        body();
        used += cpuSeconds() - start;
    }
    if (state.iterations() > 0) state.counters[name] = used / static_cast<double>(state.iterations()) / floorSeconds;
}

void OpenChangeOneCellSave(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    const fs::path &file = ledgerFile(rows);
    const Floor &floor = zlibFloor(rows);
    SpreadsheetHost host;
    int round = 0;
    timedAgainst(state, "x_inflate_plus_deflate", floor.inflate + floor.deflate, [&] {
        Workbook &wb = host.open(file);
        wb.sheet("Befszla01").setValue(5 + rows / 2, 22, "módosítva " + std::to_string(++round));
        host.save(wb);
        host.close(wb);
    });
    state.counters["file_KiB"] = static_cast<double>(fs::file_size(file)) / 1024;
    state.counters["rows"] = rows;
}

void Decode(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string bytes = readWholeFile(ledgerFile(rows));
    timedAgainst(state, "x_inflate", zlibFloor(rows).inflate,
                 [&] { benchmark::DoNotOptimize(decodeWorkbook(bytes, "Befszla.xls")); });
}

// Encodes a workbook built in memory: every part is written, none copied.
void Encode(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    auto wb = ledgerWorkbook(rows);
    timedAgainst(state, "x_deflate", zlibFloor(rows).deflate,
                 [&] { benchmark::DoNotOptimize(encodeWorkbook(*wb)); });
}

// Encodes a workbook of five ledger-sized sheets read from a file after one cell of one sheet
// changed: the other four go back as their stored compressed bytes, so this costs about one
// sheet's encoding (compare with Encode of the same rows).
void EncodeOneOfFiveSheetsChanged(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    static std::map<int, std::string> files;
    if (!files.count(rows)) {
        auto wb = ledgerWorkbook(rows);
        for (int k = 2; k <= 5; ++k) {
            Sheet &s = wb->addSheet("Befszla0" + std::to_string(k));
            const Sheet &first = wb->sheet("Befszla01");
            for (int r = 1; r <= first.rowCount(); ++r)
                for (int c = 1; c <= kColumns; ++c) {
                    s.setCellFormat(r, c, first.cellFormat(r, c));
                    s.setValue(r, c, first.value(r, c));
                }
        }
        files[rows] = encodeWorkbook(*wb);
    }
    auto wb = decodeWorkbook(files[rows], "Befszla.xls");
    int round = 0;
    timedAgainst(state, "x_deflate", zlibFloor(rows).deflate, [&] {
        wb->sheet("Befszla03").setValue(5 + rows / 2, 22, "módosítva " + std::to_string(++round));
        benchmark::DoNotOptimize(encodeWorkbook(*wb));
    });
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Peak resident memory of opening the ledger file (reading it and decoding it) beyond what the
// process held before, per cell of the sheet; measured in a child process so that nothing the
// benchmark did before counts.
void OpenPeakMemory(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    const fs::path &file = ledgerFile(rows);
    double perCell = 0;
    for (auto _ : state) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) std::abort();
        pid_t child = fork();
        if (child == 0) {
            // A forked child starts with its parent's peak; resetting it makes the peak the
            // child's own from here on.
            malloc_trim(0);
            std::ofstream("/proc/self/clear_refs") << "5";
            long before = residentBytes();
            SpreadsheetHost host;
            Workbook &wb = host.open(file);
            benchmark::DoNotOptimize(wb.sheet("Befszla01").rowCount());
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            double grown = static_cast<double>(usage.ru_maxrss) * 1024 - static_cast<double>(before);
            if (write(pipeEnds[1], &grown, sizeof grown) != sizeof grown) _exit(1);
            _exit(0);
        }
        double grown = 0;
        if (read(pipeEnds[0], &grown, sizeof grown) != sizeof grown) std::abort();
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        waitpid(child, nullptr, 0);
        perCell = grown / (static_cast<double>(rows + 1) * kColumns);
    }
    state.counters["peak_bytes_per_cell"] = perCell;
}

void ZlibDeflateSheetXml(benchmark::State &state) {
    const std::string xml = sheetXml(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(rawDeflate(xml));
    state.counters["xml_KiB"] = static_cast<double>(xml.size()) / 1024;
}

void ZlibInflateSheetXml(benchmark::State &state) {
    const std::string xml = sheetXml(static_cast<int>(state.range(0)));
    const std::string packed = rawDeflate(xml);
    for (auto _ : state) benchmark::DoNotOptimize(rawInflate(packed, xml.size()));
}

BENCHMARK(OpenChangeOneCellSave)->Arg(5000)->Arg(30000)->Arg(120000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Decode)->Arg(5000)->Arg(30000)->Arg(120000)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode)->Arg(5000)->Arg(30000)->Arg(120000)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeOneOfFiveSheetsChanged)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPeakMemory)->Arg(30000)->Arg(120000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ZlibDeflateSheetXml)->Arg(5000)->Arg(30000)->Arg(120000)->Unit(benchmark::kMillisecond);
BENCHMARK(ZlibInflateSheetXml)->Arg(5000)->Arg(30000)->Arg(120000)->Unit(benchmark::kMillisecond);

} // namespace
