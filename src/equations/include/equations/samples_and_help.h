#pragma once
// The sample rows and the texts of the boxes that the list buttons show.
#include <QString>
#include <array>


namespace equations {

// Load Sample/Example Files: these rows, in this order.
struct SampleRow {
  const char* equation;
  const char* start;
  const char* end;
  const char* step;
};
inline constexpr std::array<SampleRow, 2> kSampleRows{{
    {"x + 100", "0", "20", ".01"},
    {"x*x", "0", "100", ".1"},
}};

// The Help box: how equation files and equations are written.
QString helpText();

// Load Equations From File, when the chosen names did not fit the dialog's room for them.
QString tooManyFilesText();

// Loading one file that cannot be found.
inline constexpr char kFileNotFoundText[] = "File not found";

}  // namespace equations
