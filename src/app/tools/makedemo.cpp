// Builds the demo DATA.xlsx from the text files of demo/: the workbook is created as the program
// creates it, then each <sheet>.tsv is written from its "@start" cell on. A workbook already there
// is the user's and is left alone; only --reset replaces it, after moving it aside.
#include "platform/NumberText.h"
#include "store/DataWorkbook.h"
#include "store/WorkbookStore.h"

#include <QCoreApplication>
#include <QDateTime>
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

// Writes the demo beside `target` and renames it into place only when `target` is still free, so
// an interrupted run never leaves half a workbook and a workbook that appeared meanwhile wins.
int writeDemo(const QString& demoDir, const QString& target) {
    const QString temp = target + u".demo-tmp"_s;
    QFile::remove(temp);
    auto write = [&]() -> Result<void> {
        if (const auto created = store::createDataWorkbook(temp); !created)
            return created;
        auto opened = store::Workbook::open(temp);
        if (!opened)
            return opened.error();
        store::Workbook& book = *opened.value();
        const QStringList files = QDir(demoDir).entryList({u"*.tsv"_s}, QDir::Files, QDir::Name);
        for (const QString& f : files) {
            QString error;
            if (!fillSheet(book, demoDir + u'/' + f, &error))
                return makeError(ErrorCode::Io, error);
        }
        return book.save();
    };
    if (const auto written = write(); !written) {
        QFile::remove(temp);
        return fail(written.message());
    }
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        return fail(u"cannot put the demo in place: "_s + target);
    }
    return 0;
}

// The free name DATA.xlsx.<yyyyMMdd-HHmmss> (with -2, -3 … when a reset ran in the same second).
QString asideName(const QString& target) {
    const QString stamp =
        target + u'.' + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString name = stamp;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stamp + u'-' + QString::number(n);
    return name;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool reset = args.removeAll(u"--reset"_s) > 0;
    if (args.size() != 2)
        return fail(u"usage: tavlix_makedemo [--reset] <demo folder> <DATA.xlsx>"_s);
    const QString demoDir = args[0];
    const QString target = QFileInfo(args[1]).absoluteFilePath();
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return fail(u"cannot make the folder of "_s + target);

    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        if (!reset)
            return 0;
        const QString aside = asideName(target);
        if (!QFile::rename(target, aside))
            return fail(u"cannot move "_s + target + u" aside; nothing was changed"_s);
        std::printf("Eski veri dosyası saklandı / the old workbook was kept as:\n  %s\n",
                    qPrintable(aside));
    }
    return writeDemo(demoDir, target);
}
