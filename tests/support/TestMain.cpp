// The main of a test binary that holds several test classes: a private
// HOME for all of them, one application object, every registered class run
// in name order. "binary Class [Qt Test options]" runs only that class.

#include "support/TestSupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

int main(int argc, char** argv)
{
    QTemporaryDir home;  // settings, trash and data: never the user's
    if (!home.isValid())
        return 1;
    velmaro::testsupport::usePrivateHome(home.path());
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QStringList args = app.arguments();
    const auto& classes = velmaro::testsupport::testClasses();
    const QString only = args.size() > 1 && classes.count(args.at(1)) ? args.takeAt(1) : QString();
    int failures = 0;
    bool ran = false;
    for (const auto& [name, make] : classes) {
        if (!only.isEmpty() && name != only)
            continue;
        ran = true;
        const std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), args);
    }
    velmaro::testsupport::removeTree(home.path());  // also names that do not decode
    return ran && failures == 0 ? 0 : 1;
}
