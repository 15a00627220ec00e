// Shared ground of the saved-workbook and import tests: a folder of their own, a recording
// prompt, and invoices laid out for a type as the main window lays them out.
#pragma once

#include "invoice/InvoiceRecord.h"
#include "support/RecordingPrompt.h"
#include "widgets/ReportModel.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavlix::test {

class FilesFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // The line list of `typeText` with the extra taxes `taxEntries` ("V0059-KONAKLAMA VERGİSİ")
    // added, holding `rows`; the totals are computed.
    static void layOut(ReportModel& lines, const QString& typeText,
                       const QStringList& taxEntries = {}, const QList<QStringList>& rows = {});
    // The invoice the main window would hand over for those lines.
    static InvoiceRecord invoiceOf(const ReportModel& lines, const QString& typeText);
    // The totals rows, notes and checkTotal of the lines, as one comparable text.
    static QString totalsOf(ReportModel& lines, const QString& typeText);

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    RecordingPrompt prompt;
};

} // namespace tavlix::test
