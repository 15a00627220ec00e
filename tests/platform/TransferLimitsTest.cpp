// Transfers against a local server that misbehaves, and packages that lie or link out.
#include "platform/HttpDownload.h"
#include "platform/ZipExtract.h"

#include "support/Files.h"
#include "support/SiteServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/stat.h>
#include <zip.h>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;
using tavlix::DownloadOptions;
using tavlix::test::readAll;
using tavlix::test::writeFile;

namespace {

TEST(TransferLimitsTest, RefusedTransfersEndInTimeAndLeaveTheOldFile) {
    tavlix::test::SiteServer server(u"driver"_s);
    auto& http = server.http();
    http.Get("/small", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("tamam", "text/plain");
    });
    // No length announced: the body is counted as it comes.
    http.Get("/big-chunked", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/zip", [](size_t, httplib::DataSink& sink) {
            sink.write(std::string(5000, 'a').data(), 5000);
            sink.done();
            return true;
        });
    });
    http.Get("/trickle", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/zip", [](size_t, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return sink.write("x", 1);
        });
    });
    const std::pair<std::string, std::string> redirects[] = {{"/to-http", "/small"},
                                                             {"/to-ftp", "ftp://127.0.0.1/x.zip"},
                                                             {"/to-file", "file:///etc/hostname"}};
    for (const auto& [from, to] : redirects)
        http.Get(from,
                 [to](const httplib::Request&, httplib::Response& res) { res.set_redirect(to); });
    ASSERT_TRUE(server.start());
    QTemporaryDir dir;
    const QString target = dir.filePath(u"paket.zip"_s);

    struct Case {
        const char* path;
        bool cancel;
        QByteArray after; // the target's bytes after the transfer
        QString message;  // the error's message contains it
    } const cases[] = {
        {"/to-http", false, "tamam", {}},
        {"/to-ftp", false, "eski", u"protokole"_s},
        {"/to-file", false, "eski", u"protokole"_s},
        {"/big-chunked", false, "eski", u"boyutu"_s},
        {"/trickle", false, "eski", u"yavaş"_s},
        {"/trickle", true, "eski", u"iptal"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + (c.cancel ? " cancelled" : ""));
        writeFile(target, "eski");
        QElapsedTimer elapsed;
        elapsed.start();
        DownloadOptions options;
        options.maxBytes = 1000;
        options.lowSpeedSeconds = 1;
        options.cancelled = [&] { return c.cancel && elapsed.elapsed() > 300; };
        const auto result =
            tavlix::downloadToFile(server.url(QString::fromLatin1(c.path)), target, options);
        EXPECT_EQ(result.ok(), c.message.isEmpty());
        EXPECT_TRUE(result.ok() || result.message().contains(c.message))
            << result.message().toStdString();
        EXPECT_EQ(readAll(target), c.after);
        EXPECT_LT(elapsed.elapsed(), c.cancel ? 1000 : 3000);
    }
}

TEST(TransferLimitsTest, UnpackingRefusesLinksAndOversizedEntries) {
    QTemporaryDir dir;
    const QString linked = dir.filePath(u"link.zip"_s);
    {
        int error = 0;
        zip_t* archive = zip_open(QFile::encodeName(linked).constData(), ZIP_CREATE, &error);
        ASSERT_NE(archive, nullptr);
        static const char where[] = "/etc/passwd";
        zip_source_t* source = zip_source_buffer(archive, where, sizeof(where) - 1, 0);
        const zip_int64_t index = zip_file_add(archive, "chromedriver", source, 0);
        ASSERT_GE(index, 0);
        zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                         ZIP_OPSYS_UNIX, (S_IFLNK | 0777) << 16);
        ASSERT_EQ(zip_close(archive), 0);
    }
    const QString big = dir.filePath(u"big.zip"_s);
    writeFile(big, tavlix::test::makeZip(
                       {{u"a"_s, QByteArray(600, 'a')}, {u"b"_s, QByteArray(600, 'b')}}));
    struct Case {
        QString zip;
        qint64 limit;
        bool ok;
    } const cases[] = {
        {linked, 1000, false}, {big, 1000, false}, {big, 500, false}, {big, 1200, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zip.toStdString() + " " + std::to_string(c.limit));
        const QString out = dir.filePath(u"out"_s);
        QDir(out).removeRecursively();
        const auto result = tavlix::extractZip(c.zip, out, c.limit);
        EXPECT_EQ(result.ok(), c.ok) << result.message().toStdString();
        EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), c.ok ? 2 : 0);
    }
}

} // namespace
