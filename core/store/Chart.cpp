#include "store/Chart.h"

#include "store/HostError.h"
#include "store/Workbook.h"

#include <array>

namespace vandorix {

void Chart::setSource(const std::string &sheet, int firstRow, int firstColumn, int lastRow,
                      int lastColumn) {
    sourceSheet = sheet;
    sourceFirstRow = firstRow;
    sourceFirstColumn = firstColumn;
    sourceLastRow = lastRow;
    sourceLastColumn = lastColumn;
    series.assign(lastColumn > firstColumn ? lastColumn - firstColumn : 0, ChartSeries{});
}

ChartSeries &Chart::seriesAt(int number) {
    if (number < 1 || number > static_cast<int>(series.size()))
        throw HostError("A diagramnak nincs " + std::to_string(number) + ". adatsora");
    return series[number - 1];
}

std::string Chart::seriesName(int number) const {
    if (number >= 1 && number <= static_cast<int>(series.size()) &&
        !series[number - 1].name.empty())
        return series[number - 1].name;
    return "Adatsor" + std::to_string(number);
}

double LineWeightPoints(int weight) {
    switch (weight) {
    case kWeightHairline: return 0.75;
    case kWeightMedium: return 2.0;
    case kWeightThick: return 3.0;
    default: return 1.25; // thin
    }
}

std::uint32_t PaletteColor(int colorIndex) {
    static constexpr std::array<std::uint32_t, 56> palette = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
    if (colorIndex < 1 || colorIndex > 56) return 0x000000;
    return palette[static_cast<std::size_t>(colorIndex - 1)];
}

ChartPlotData ReadChartData(const Workbook &workbook, const Chart &chart) {
    ChartPlotData data;
    const Sheet &source = workbook.sheet(chart.sourceSheet);
    const int rows = chart.sourceLastRow - chart.sourceFirstRow + 1;
    if (rows <= 0) return data;
    data.categories.reserve(static_cast<std::size_t>(rows));
    data.values.assign(chart.series.size(), {});
    for (auto &column : data.values) column.reserve(static_cast<std::size_t>(rows));
    for (int r = chart.sourceFirstRow; r <= chart.sourceLastRow; ++r) {
        data.categories.push_back(source.value(r, chart.sourceFirstColumn));
        for (std::size_t s = 0; s < chart.series.size(); ++s) {
            const CellValue &v = source.value(r, chart.sourceFirstColumn + 1 + static_cast<int>(s));
            data.values[s].push_back(v.isBlank() || v.kind() == CellKind::Text
                                         ? std::nullopt
                                         : v.number());
        }
    }
    return data;
}

} // namespace vandorix
