#include "store/Chart.h"

#include "store/HostError.h"

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

} // namespace vandorix
