// The saved-invoice workbooks of the folder the main window lists, followed on disk: a workbook
// another program puts into the folder or takes out of it is reported within a fraction of a
// second.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace tavlix::files {

class SavedInvoiceWatch : public QObject {
    Q_OBJECT
public:
    explicit SavedInvoiceWatch(QObject* parent = nullptr);

    // Follows `folder` from now on (an empty or missing folder: nothing) and reads it at once.
    void watch(const QString& folder);
    // The folder's workbooks as last read (savedInvoiceNames).
    const QStringList& names() const { return m_names; }

signals:
    void changed(const QStringList& names);

private:
    void reread();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_folder;
    QStringList m_names;
};

} // namespace tavlix::files
