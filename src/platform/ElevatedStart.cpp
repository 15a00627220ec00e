#include "platform/ElevatedStart.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace tavlix {

QStringList elevatedCommand(const QString& program, const QStringList& arguments) {
    const QString absolute = QFileInfo(program).absoluteFilePath();
    QString elevator;
    if (qEnvironmentVariableIsSet("TAVLIX_ELEVATE"))
        elevator = qEnvironmentVariable("TAVLIX_ELEVATE");
    else
        elevator = QStandardPaths::findExecutable(u"pkexec"_s);
    if (elevator.isEmpty())
        return QStringList{absolute} + arguments;

    QStringList command{elevator};
    // pkexec clears the environment; the updater needs the user's display for its messages.
    const QString env = QStandardPaths::findExecutable(u"env"_s);
    if (QFileInfo(elevator).fileName() == u"pkexec"_s && !env.isEmpty()) {
        command << env;
        for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
            if (qEnvironmentVariableIsSet(name))
                command << QString::fromLatin1(name) + u'=' + qEnvironmentVariable(name);
        }
    }
    return command << absolute << arguments;
}

Result<void> startElevated(const QString& program, const QStringList& arguments) {
    QStringList command = elevatedCommand(program, arguments);
    const QString first = command.takeFirst();
    if (!QProcess::startDetached(first, command, QFileInfo(program).absolutePath()))
        return makeError(ErrorCode::Io, u"%1 başlatılamadı."_s.arg(QFileInfo(program).fileName()));
    return {};
}

} // namespace tavlix
