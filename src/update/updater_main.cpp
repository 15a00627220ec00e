// TavlixUpdate: the program's updater, started by Tavlix (elevated) once a new program has been
// downloaded: TavlixUpdate <program folder> <process id of Tavlix>.
#include "update/UpdateInstall.h"

#include <QApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString programDir =
        args.size() > 1 ? args.at(1) : QCoreApplication::applicationDirPath();
    const qint64 pid = args.size() > 2 ? args.at(2).toLongLong() : 0;
    if (const auto done = tavlix::runUpdate(programDir, pid); !done) {
        QMessageBox box(QMessageBox::Warning, u"TavlixUpdate"_s, done.message(), QMessageBox::Ok);
        box.exec();
        return 1;
    }
    return 0;
}
