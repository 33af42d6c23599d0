#include "platform/qt/QtServices.h"

#include "errors/ErrorReportMail.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

// Stands in for the desktop: receives what QDesktopServices would hand on.
class UrlCatcher final : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls.push_back(url); }
};

class DesktopHandOff : public ::testing::Test {
protected:
    DesktopHandOff() {
        for (const char* scheme : {"mailto", "http"}) {
            QDesktopServices::setUrlHandler(QString::fromUtf8(scheme), &catcher, "open");
        }
    }
    ~DesktopHandOff() override {
        for (const char* scheme : {"mailto", "http"}) {
            QDesktopServices::unsetUrlHandler(QString::fromUtf8(scheme));
        }
    }
    UrlCatcher catcher;
    QtShell shell;
};

TEST_F(DesktopHandOff, TheMailUrlArrivesAsAUtf8PercentEncodedUri) {
    const std::string body = mailBody({"V&ü", "5", "Grüße 100%+1#2?", "Modul"});
    const std::string url = mailUrl(mailSubject("V&ü"), body);
    EXPECT_TRUE(shell.execute({}, url));
    ASSERT_EQ(catcher.urls.size(), 1);
    const std::string arrived = catcher.urls[0].toEncoded().toStdString();
    EXPECT_EQ(arrived.substr(0, arrived.find("&body=")),
              "mailto:support@tavrosk.example?cc=%20&bcc=%20&subject=Tavrosk%20f%C3%BCr%20Solid"
              "%20Edge%20V%26%C3%BC%20Fehlermeldung");
    EXPECT_NE(arrived.find("%0D%0A5%20Gr%C3%BC%C3%9Fe%20100%25%2B1%232%3F%0D%0AModul%0D%0A"),
              std::string::npos)
        << arrived;
    EXPECT_TRUE(arrived.ends_with("%0D%0AMit%20freundlichem%20Gru%C3%9F")) << arrived;
}

TEST_F(DesktopHandOff, TheWorkedExampleKeepsItsLineBreaks) {
    const std::string url = mailUrl(mailSubject(""), mailBody({"", "Err", "Desc", "Modul"}));
    EXPECT_TRUE(shell.execute({}, url));
    ASSERT_EQ(catcher.urls.size(), 1);
    const QUrl& arrived = catcher.urls[0];
    EXPECT_EQ(arrived.scheme().toStdString(), "mailto");
    EXPECT_EQ(arrived.path().toStdString(), "support@tavrosk.example");
    const std::string query = arrived.query(QUrl::FullyEncoded).toStdString();
    EXPECT_EQ(query.find("&body=Sehr%20geehrte%20Damen%20und%20Herren,%0D%0Aes%20tritt"),
              query.find("&body="));
    EXPECT_NE(query.find("%0D%0AErr%20Desc%0D%0AModul%0D%0A"), std::string::npos) << query;
    EXPECT_EQ(arrived.toEncoded().count(' '), 0);
}

TEST_F(DesktopHandOff, TheWebLinkArrivesAsGiven) {
    EXPECT_TRUE(shell.execute("Open", webUrl("www.tavrosk.example")));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toEncoded().toStdString(), "http://www.tavrosk.example");
}

} // namespace
} // namespace ostrevan

#include "QtShellUrlTest.moc"
