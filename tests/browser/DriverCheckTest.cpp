// The driver check against a local driver store.
#include "browser/DriverCheck.h"

#include "support/Files.h"
#include "support/RecordingPrompt.h"
#include "support/SiteServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

#include <map>

using namespace Qt::StringLiterals;
using namespace tavlix::browser;
using tavlix::test::makeZip;
using tavlix::test::readAll;
using tavlix::test::writeFile;

namespace {

// A program that answers --version like the browser or the driver does.
QString versionScript(const QString& dir, const QString& name, const QString& line) {
    const QString path = dir + u"/"_s + name;
    writeFile(path, (u"#!/bin/sh\necho '"_s + line + u"'\n"_s).toUtf8());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class DriverCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        server.http().Get(R"(/(.+/chromedriver[-_]linux64\.zip|LATEST_RELEASE_.*))",
                          [this](const httplib::Request& req, httplib::Response& res) {
                              requests.append(QString::fromStdString(req.path));
                              const auto it = packages.find(QString::fromStdString(req.path));
                              if (it == packages.end()) {
                                  res.status = 404;
                                  return;
                              }
                              res.set_content(it->second.toStdString(), "application/zip");
                          });
        ASSERT_TRUE(server.start());
        input.perUserDriverPath = dir.filePath(u"home/Tavlix-Quillmark/chromedriver"_s);
        input.storeUrl = server.url();
        writeFile(input.perUserDriverPath, "eski driver");
    }
    QString userFolder() const { return dir.filePath(u"home/Tavlix-Quillmark"_s); }
    QByteArray record() const { return readAll(userFolder() + u"/ChromeDriverVersiyon.txt"_s); }

    QTemporaryDir dir;
    tavlix::test::SiteServer server{u"driver"_s};
    std::map<QString, QByteArray> packages; // path on the store → package
    QStringList requests;
    DriverCheckInput input;
    tavlix::test::RecordingPrompt prompt;
};

TEST_F(DriverCheckTest, RecordBrowserAndStoreDecideWhatHappens) {
    const QString detected = u" Chrome güncellemesi tespit edildi, Tavlix faturayı yüklemeden önce "
                             u"driver güncellemesi yapacak!"_s;
    const QString updated =
        u"Driver başarı ile güncellendi. İşleminize kalınan yerden devam edilecek..."_s;
    packages[u"/99.0.4844.51/chromedriver_linux64.zip"_s] =
        makeZip({{u"chromedriver"_s, "yeni driver 99"}});
    // From 115 the store has the newer layout, and not every build of the browser.
    packages[u"/120.0.6099.109/linux64/chromedriver-linux64.zip"_s] =
        makeZip({{u"chromedriver-linux64/LICENSE"_s, "l"},
                 {u"chromedriver-linux64/chromedriver"_s, "yeni driver 120"}});
    packages[u"/LATEST_RELEASE_131.0.6778"_s] = "131.0.6778.87\n";
    packages[u"/131.0.6778.87/linux64/chromedriver-linux64.zip"_s] =
        makeZip({{u"chromedriver-linux64/chromedriver"_s, "yeni driver 131"}});

    struct Case {
        const char* name;
        QByteArray record; // nullptr: no record file
        QString browser;
        QString driver;
        QString storeUrl; // empty: the test store
        DriverCheckOutcome outcome;
        QStringList messages;
        QByteArray driverAfter;
        QByteArray recordAfter;
    };
    const QString closedStore = u"http://127.0.0.1:9"_s;
    const Case cases[] = {
        {"equal record",
         "[99.]\r\n",
         u"Chromium 99.0.4844.84"_s,
         u"ChromeDriver 98.0.1"_s,
         {},
         DriverCheckOutcome::UpToDate,
         {},
         "eski driver",
         "[99.]\r\n"},
        {"several bracketed fields: the last one",
         "[97.],[98.]\r\n[99.]",
         u"Chromium 99.0.4844.84"_s,
         u"ChromeDriver 98.0.1"_s,
         {},
         DriverCheckOutcome::UpToDate,
         {},
         "eski driver",
         "[97.],[98.]\r\n[99.]"},
        {"record 98, browser 99",
         "[98.]\r\n",
         u"Chromium 99.0.4844.84"_s,
         u"ChromeDriver 98.0.4758.102"_s,
         {},
         DriverCheckOutcome::Updated,
         {detected, updated},
         "yeni driver 99",
         "[99.]\r\n"},
        {"beyond the table, driver matches",
         "[98.]\r\n",
         u"Chromium 156.0.8078.129 built on Debian"_s,
         u"ChromeDriver 156.0.8078.129 (1a2e)"_s,
         {},
         DriverCheckOutcome::RecordedMatching,
         {},
         "eski driver",
         "[156]\r\n"},
        {"beyond the table, package of the browser's version",
         "[98.]\r\n",
         u"Chromium 120.0.6099.109"_s,
         u"ChromeDriver 119.0.1"_s,
         {},
         DriverCheckOutcome::Updated,
         {detected, updated},
         "yeni driver 120",
         "[120]\r\n"},
        {"beyond the table, the newest driver of the build",
         "[120]\r\n",
         u"Chromium 131.0.6778.85"_s,
         u"ChromeDriver 120.0.6099.109"_s,
         {},
         DriverCheckOutcome::Updated,
         {detected, updated},
         "yeni driver 131",
         "[131]\r\n"},
        {"beyond the table, no package",
         "[102]\r\n",
         u"Chromium 103.0.5060.53"_s,
         u"ChromeDriver 102.0.5005.27"_s,
         {},
         DriverCheckOutcome::Failed,
         {detected,
          u" Chrome Tarayıcı versiyonu 90.x ile 102.x arası destekleniyor. Sizin versiyonunuz: "
          u"103.0.5060.53 lütfen destek isteyiniz. destek@tavlix.com.tr"_s,
          u"Driver indirilirken bir hata oluştu ! Hata No: 404"_s},
         "eski driver",
         "[102]\r\n"},
        {"store unreachable",
         "[98.]\r\n",
         u"Chromium 99.0.4844.84"_s,
         u"ChromeDriver 98.0.1"_s,
         closedStore,
         DriverCheckOutcome::Failed,
         {detected, u"Driver indirilirken bir hata oluştu ! Hata No: 7"_s},
         "eski driver",
         "[98.]\r\n"},
        // The matching record of a program folder copied from another account does not count.
        {"no record beside this user's driver",
         nullptr,
         u"Chromium 99.0.4844.84"_s,
         u"ChromeDriver 98.0.1"_s,
         {},
         DriverCheckOutcome::Updated,
         {detected, updated},
         "yeni driver 99",
         "[99.]\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString recordPath = userFolder() + u"/ChromeDriverVersiyon.txt"_s;
        QFile::remove(recordPath);
        writeFile(c.record.isNull() ? dir.filePath(u"prgDosyaları/ChromeDriverVersiyon.txt"_s)
                                    : recordPath,
                  c.record.isNull() ? QByteArray("[99.]\r\n") : c.record);
        writeFile(input.perUserDriverPath, "eski driver");
        input.browserBinary = versionScript(dir.path(), u"browser"_s, c.browser);
        input.driverBinary = versionScript(dir.path(), u"driver"_s, c.driver);
        input.storeUrl = c.storeUrl.isEmpty() ? server.url() : c.storeUrl;
        prompt.messages.clear();

        EXPECT_EQ(checkChromeVersiyon(input, prompt), c.outcome);
        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_EQ(readAll(input.perUserDriverPath), c.driverAfter);
        EXPECT_EQ(record(), c.recordAfter);
        if (c.outcome == DriverCheckOutcome::Updated) {
            EXPECT_TRUE(QFileInfo(input.perUserDriverPath).isExecutable());
        }
        // Nothing of the package survives the check.
        EXPECT_EQ(QDir(userFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                  QStringList({u"ChromeDriverVersiyon.txt"_s, u"chromedriver"_s}));
    }
    EXPECT_EQ(requests, QStringList({u"/99.0.4844.51/chromedriver_linux64.zip"_s,
                                     u"/120.0.6099.109/linux64/chromedriver-linux64.zip"_s,
                                     u"/131.0.6778.85/linux64/chromedriver-linux64.zip"_s,
                                     u"/LATEST_RELEASE_131.0.6778"_s,
                                     u"/131.0.6778.87/linux64/chromedriver-linux64.zip"_s,
                                     u"/103.0.5060.53/chromedriver_linux64.zip"_s,
                                     u"/LATEST_RELEASE_103.0.5060"_s,
                                     u"/99.0.4844.51/chromedriver_linux64.zip"_s}));
    EXPECT_NE(defaultDriverStore(114), defaultDriverStore(115));
}

TEST(DriverVersionTest, PrefixesAndTheRealPrograms) {
    EXPECT_EQ(versionPrefix(u"99.0.4844.84"_s), u"99."_s);
    EXPECT_EQ(tableDriverVersion(u"99."_s), u"99.0.4844.51"_s);
    EXPECT_EQ(tableDriverVersion(u"102"_s), u"102.0.5005.27"_s);
    EXPECT_TRUE(tableDriverVersion(versionPrefix(u"10.1.2.3"_s)).isEmpty()); // "10." is not 100
    EXPECT_EQ(recordedPrefix(u"x,[98.],y\n[101]"_s), u"101"_s);
    // The installed browser and driver answer --version with versions of the same major.
    const QString browser = programVersion(u"/usr/bin/chromium"_s);
    const QString driver = programVersion(u"/usr/bin/chromedriver"_s);
    ASSERT_FALSE(browser.isEmpty());
    EXPECT_EQ(browser.section(u'.', 0, 0), driver.section(u'.', 0, 0));
}

} // namespace
