#pragma once

#include "store/CellValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vandorix {

class Workbook;

// Host constants of the chart object model, as callers set them.
enum class ChartType { Line = 4, ClusteredColumn = 51 };

struct ChartSeries {
    std::string name;          // empty: the default name "Adatsor<n>"
    int colorIndex = 0;        // 0: automatic
    int weight = 2;            // thin 2, medium -4138, thick 4, hairline 1
    int lineStyle = 1;         // continuous 1
};

struct ChartAxis {
    bool enabled = true;
    std::optional<double> minimum; // nullopt: automatic
    std::optional<double> maximum;
    std::optional<double> majorUnit;
    std::optional<double> minorUnit;
    std::optional<double> crossesAt; // custom crossing value
    bool majorGridlines = false;
    bool minorGridlines = false;
    std::string title;
    bool reversePlotOrder = false;
    int majorTickMark = 3;
    int minorTickMark = -4142;
    int tickLabelPosition = 4;
    int categoryType = -4105;
    bool numberFormatLinked = true;
    int borderColorIndex = 0;
    int borderWeight = 2;
    int borderLineStyle = 1;
};

// A chart sheet: a chart over a rectangular source range plotted by columns; the first
// column holds the categories, each further column one series.
struct Chart {
    ChartType type = ChartType::Line;
    std::string sourceSheet;
    int sourceFirstRow = 0, sourceFirstColumn = 0, sourceLastRow = 0, sourceLastColumn = 0;
    std::vector<ChartSeries> series;
    ChartAxis categoryAxis;
    ChartAxis valueAxis;
    bool hasTitle = false;
    std::string title;
    int plotAreaBorderWeight = 2;
    int plotAreaBorderLineStyle = 1;

    // Sets the source and makes one series per value column.
    void setSource(const std::string &sheet, int firstRow, int firstColumn, int lastRow,
                   int lastColumn);
    ChartSeries &seriesAt(int number); // from 1
    // The series' own name, or the host's default "Adatsor<n>".
    std::string seriesName(int number) const;
};

// Line weights of the host, in points.
inline constexpr int kWeightHairline = 1;
inline constexpr int kWeightThin = 2;
inline constexpr int kWeightMedium = -4138;
inline constexpr int kWeightThick = 4;
double LineWeightPoints(int weight);

// The colour 0xRRGGBB of a colour index of the host's default 56-colour palette; an index
// outside 1 to 56 (automatic) is black.
std::uint32_t PaletteColor(int colorIndex);

// What a chart plots, read from its source range: the categories of the first column and,
// per series, the value of each category (nullopt where the cell holds no number).
struct ChartPlotData {
    std::vector<CellValue> categories;
    std::vector<std::vector<std::optional<double>>> values;
};
ChartPlotData ReadChartData(const Workbook &workbook, const Chart &chart);

} // namespace vandorix
