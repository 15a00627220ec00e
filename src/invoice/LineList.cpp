#include "invoice/LineList.h"

#include "widgets/ReportModel.h"

using namespace Qt::StringLiterals;

namespace tavlix {

QString deleteLineQuestion(int n) {
    return QString::number(n) + u" nolu satırı sil !"_s;
}

void deleteLineAndRenumber(ReportModel& lines, int row) {
    if (row < 0 || row >= lines.rowTotal())
        return;
    lines.removeRowAt(row);
    for (int r = 0; r < lines.rowTotal(); ++r)
        lines.setCell(r, 0, QString::number(r + 1));
}

int nextLineNumber(const ReportModel& lines) {
    return lines.rowTotal() + 1;
}

} // namespace tavlix
