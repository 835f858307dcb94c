#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vandorix {

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
};

} // namespace vandorix
