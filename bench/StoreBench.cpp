// Open, change one cell and save: what every command that books a row costs on the account
// workbook, for a ledger of a few years (5,000 rows) and a large one (30,000 rows), 22 columns
// each of dates, amounts, whole numbers and texts as the ledger holds them.
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "store/SpreadsheetHost.h"
#include "store/ZipPackage.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kColumns = 22;

std::unique_ptr<Workbook> ledgerWorkbook(int rows) {
    auto wb = std::make_unique<Workbook>("Befszla.xls");
    Sheet &s = wb->addSheet("Befszla01");
    FormatRef date = internFormat(CellFormat{"yyyy.mm.dd", false, HAlign::Left, false});
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
const fs::path &ledgerFile(int rows) {
    static std::map<int, fs::path> files;
    auto it = files.find(rows);
    if (it != files.end()) return it->second;
    std::string pattern = (fs::temp_directory_path() / "vandorix-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    fs::path file = fs::path(pattern) / "Befszla.xls";
    writeFileAtomically(file, encodeWorkbook(*ledgerWorkbook(rows)));
    return files.emplace(rows, file).first->second;
}

void OpenChangeOneCellSave(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    const fs::path &file = ledgerFile(rows);
    SpreadsheetHost host;
    int round = 0;
    for (auto _ : state) {
        Workbook &wb = host.open(file);
        wb.sheet("Befszla01").setValue(5 + rows / 2, 22, "módosítva " + std::to_string(++round));
        host.save(wb);
        host.close(wb);
    }
    state.counters["file_KiB"] = static_cast<double>(fs::file_size(file)) / 1024;
    state.counters["rows"] = rows;
}

void Decode(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string bytes = readWholeFile(ledgerFile(rows));
    for (auto _ : state) benchmark::DoNotOptimize(decodeWorkbook(bytes, "Befszla.xls"));
}

void Encode(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    auto wb = decodeWorkbook(readWholeFile(ledgerFile(rows)), "Befszla.xls");
    for (auto _ : state) benchmark::DoNotOptimize(encodeWorkbook(*wb));
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

BENCHMARK(OpenChangeOneCellSave)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Decode)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(ZlibDeflateSheetXml)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(ZlibInflateSheetXml)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond);

} // namespace
