// Line numbering and deletion in the line list ListView1.
#pragma once

#include <QString>

namespace tavlix {

class ReportModel;

// The question asked before deleting the line at 1-based position n: "3 nolu satırı sil !".
QString deleteLineQuestion(int n);

// Removes the 0-based `row`; the remaining rows keep their order and their cells from column 2
// on, and column 1 becomes 1, 2, 3 … An out-of-range row changes nothing.
void deleteLineAndRenumber(ReportModel& lines, int row);

// The line number a newly appended line gets: the row count plus 1.
int nextLineNumber(const ReportModel& lines);

} // namespace tavlix
