// Help on Linux: the shipped HTML page, opened at the topic's anchor.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

#include "controller/res/resources.h"
#include "platform/qt/qt_window_host.h"

namespace osa {
namespace {

QString HelpPage() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("help/osactl-help.html"));
}

// The desktop's handler for file: URLs is replaced by a text browser, whose
// source then shows which address the host asked to open.
TEST(QtHelp, OpensTheShippedPageAtTheTopicsAnchorWhateverTheHelpFile) {
    QTextBrowser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "setSource");
    QtWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};
    for (std::uint32_t context : {98304u, 98305u}) {
        browser.setSource(QUrl());
        host.ShowHelp(Window{}, "/no/such/folder/OSHLP_A.HLP", context);
        QUrl expected = QUrl::fromLocalFile(HelpPage());
        expected.setFragment(QStringLiteral("context-%1").arg(context));
        EXPECT_EQ(browser.source(), expected) << context;
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST(QtHelp, TheShippedPageHasAnAnchorForEachTopic) {
    QFile page(HelpPage());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << page.fileName().toStdString();
    const QByteArray html = page.readAll();
    for (const char* anchor : {"id=\"context-98304\"", "id=\"context-98305\""})
        EXPECT_TRUE(html.contains(anchor)) << anchor;
}

} // namespace
} // namespace osa
