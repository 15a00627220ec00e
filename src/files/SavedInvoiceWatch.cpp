#include "files/SavedInvoiceWatch.h"

#include "files/InvoiceWorkbook.h"

#include <QFileInfo>

namespace tavlix::files {

SavedInvoiceWatch::SavedInvoiceWatch(QObject* parent)
    : QObject(parent) {
    // A writer's burst of changes (temporary file, rename) is read once, when it has settled.
    m_settle.setSingleShot(true);
    m_settle.setInterval(150);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &SavedInvoiceWatch::reread);
}

void SavedInvoiceWatch::watch(const QString& folder) {
    if (folder != m_folder || m_watcher.directories().isEmpty()) {
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
        m_folder = folder;
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
    }
    m_names = savedInvoiceNames(folder);
}

void SavedInvoiceWatch::reread() {
    const QStringList names = savedInvoiceNames(m_folder);
    if (names == m_names)
        return;
    m_names = names;
    emit changed(m_names);
}

} // namespace tavlix::files
