// Builds the demo DATA.xlsx from the text files of demo/: the workbook is created as the program
// creates it, then each <sheet>.tsv is written from its "@start" cell on.
#include "platform/NumberText.h"
#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace tavlix;

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "makedemo: %s\n", qPrintable(message));
    return 1;
}

// A field beginning with an apostrophe stays text; a regional number becomes a number.
void writeField(store::Worksheet& sheet, int row, int col, const QString& field) {
    if (field.isEmpty())
        return;
    if (!field.startsWith(u'\'')) {
        if (const auto n = readRegionalNumber(field)) {
            sheet.writeNumber(row, col, *n);
            return;
        }
    }
    sheet.writeText(row, col, field);
}

bool fillSheet(store::Workbook& book, const QString& tsvPath, QString* error) {
    QFile file(tsvPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = u"cannot read "_s + tsvPath;
        return false;
    }
    const QString sheetName = QFileInfo(tsvPath).completeBaseName();
    store::Worksheet* sheet = book.sheet(sheetName);
    if (!sheet) {
        *error = u"no sheet "_s + sheetName;
        return false;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    int row = 0;
    int firstCol = 1;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(u'#') || line.isEmpty())
            continue;
        if (line.startsWith(u"@start "_s)) {
            const QString ref = line.mid(7).trimmed();
            int k = 0;
            while (k < ref.size() && ref[k].isLetter())
                ++k;
            firstCol = store::columnNumber(ref.left(k));
            row = ref.mid(k).toInt();
            continue;
        }
        const QStringList fields = line.split(u'\t');
        for (int i = 0; i < fields.size(); ++i)
            writeField(*sheet, row, firstCol + i, fields[i]);
        ++row;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return fail(u"usage: tavlix_makedemo <demo folder> <DATA.xlsx>"_s);
    const QString demoDir = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);

    if (const auto created = store::createDataWorkbook(target); !created)
        return fail(created.message());
    auto opened = store::Workbook::open(target);
    if (!opened)
        return fail(opened.message());
    store::Workbook& book = *opened.value();
    const QStringList files = QDir(demoDir).entryList({u"*.tsv"_s}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        QString error;
        if (!fillSheet(book, demoDir + u'/' + f, &error))
            return fail(error);
    }
    if (const auto saved = book.save(); !saved)
        return fail(saved.message());
    return 0;
}
