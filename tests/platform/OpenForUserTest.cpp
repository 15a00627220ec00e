// Opening a file for the user: the desktop must name a program for its kind, else the user is
// told (xdg-open alone would only complain on the terminal).
#include "platform/OpenForUser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix {
namespace {

// A desktop of its own: every XDG folder under a temporary directory, no desktop session.
class OwnDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                 "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"}) {
            m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        }
        for (const char* sub : {"config", "data/applications", "system"})
            QDir(m_dir.path()).mkpath(QString::fromUtf8(sub));
        // The machine's file kinds, without its programs.
        QFile::link(u"/usr/share/mime"_s, path(u"system/mime"_s));
        qputenv("XDG_CONFIG_HOME", path(u"config"_s).toUtf8());
        qputenv("XDG_DATA_HOME", path(u"data"_s).toUtf8());
        qputenv("XDG_DATA_DIRS", path(u"system"_s).toUtf8());
        qputenv("XDG_CONFIG_DIRS", path(u"system"_s).toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("DESKTOP_SESSION");
    }
    void TearDown() override {
        for (const Saved& s : m_saved) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    void write(const QString& name, const QByteArray& text) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    QTemporaryDir m_dir;
    QList<Saved> m_saved;
};

TEST_F(OwnDesktop, AWorkbookOpensOnlyWhenTheDesktopNamesAProgramForIt) {
    write(u"DATA.xlsx"_s, "PK");
    EXPECT_FALSE(hasProgramFor(path(u"DATA.xlsx"_s)));
    const Result<void> opened = openForUser(path(u"DATA.xlsx"_s));
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.message(),
              u"Dosyayı açacak bir program bulunamadı: "_s + path(u"DATA.xlsx"_s));

    write(u"data/applications/tavlix-sheet.desktop"_s,
          "[Desktop Entry]\nType=Application\nName=Sheet\nExec=true %f\n"
          "MimeType=application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;\n");
    write(
        u"config/mimeapps.list"_s,
        "[Default Applications]\n"
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet=tavlix-sheet.desktop\n");
    EXPECT_TRUE(hasProgramFor(path(u"DATA.xlsx"_s)));
    EXPECT_FALSE(hasProgramFor(path(u"notes.txt"_s))) << "only the kind the program was named for";
}

} // namespace
} // namespace tavlix
