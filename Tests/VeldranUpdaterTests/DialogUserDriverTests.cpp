// The updater's questions wait for the user in an event loop of their own. A quit arriving meanwhile (SIGTERM, a
// logout, Ctrl+Q) ends the wait as a "no", and a question asked once the quit has begun is answered "no" without
// waiting: nothing is downloaded or installed for an application on its way out.

#include "VeldranUpdater/DialogUserDriver.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace veldran {
namespace {

// Accepts whatever question is still up after two seconds, so that a question that keeps waiting fails the test
// instead of holding it.
class AcceptLateQuestion {
public:
    AcceptLateQuestion()
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->buttons().constFirst()->click();
            }
        });
        timer_.start(2000);
    }

private:
    QTimer timer_;
};

TEST(DialogUserDriver, AQuitEndsAWaitingQuestionAsNoAndLetsNoneWaitAfterIt)
{
    DialogUserDriver driver;
    AppcastItem item;
    item.title = QStringLiteral("Tilvane 2.0");
    struct Row {
        const char* name;
        std::function<bool()> ask;
    };
    const Row rows[] = {
        {"download", [&] { return driver.confirmDownload(item); }},
        {"install", [&] { return driver.confirmInstall(item); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const AcceptLateQuestion guard;
        bool askedBeforeTheQuit = false;
        QTimer::singleShot(0, [&] {
            askedBeforeTheQuit = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
            QCoreApplication::exit(0);
        });
        EXPECT_FALSE(row.ask()) << "a quit while the question waits";
        EXPECT_TRUE(askedBeforeTheQuit);
        EXPECT_FALSE(row.ask()) << "a question once the quit has begun";

        // The application runs again, as for the next test.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
}

}  // namespace
}  // namespace veldran
