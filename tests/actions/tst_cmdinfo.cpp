// The main window's properties button: the message without a selected row,
// and the selected row's raw path handed to the properties routine.
#include "actions/Eigenschaften.h"
#include "actions/PropertiesWindow.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/controls/RoListBox.h"
#include "platform/FormRegistry.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmaro;
using namespace velmaro::testsupport;

namespace {

QList<PropertiesWindow*> propertyWindows() {
    QList<PropertiesWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<PropertiesWindow*>(widget); window && window->isVisible())
            windows << window;
    return windows;
}

}  // namespace

class TstCmdInfo : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temp_;
    QPointer<MainWindow> window_;

private slots:
    void initTestCase() {
        QVERIFY(temp_.isValid());
        usePrivateHome(temp_.path());
        // No session bus: the program's own properties window answers.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(temp_.path()) + "/no-bus");
        registerForms();
        window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
        QVERIFY(window_);
        window_->show();
    }
    void cleanupTestCase() {
        platform::Alle_Fenster_schliessen();
        removeTree(temp_.path());
    }

    void selectedRowOrNoFolderChosen() {
        const QByteArray base = QFile::encodeName(temp_.path()) + "/";
        const QByteArray odd = base + "o\xff\nd/";
        makeDir(odd);
        RoListBox* list = window_->roListBox_Ordner();
        list->ClearRows();
        platform::MsgBoxScript script;
        cmd_Info_Click(*window_);  // no rows
        list->AddRow(folderRow(base));
        list->AddRow(folderRow(odd));
        list->SelectRow(0);
        cmd_Info_Click(*window_);  // rows, none selected
        const QString none = box(0, {}, QStringLiteral("Kein Verzeichnis gewählt."));
        QCOMPARE(boxes(script), (QStringList{none, none}));
        QVERIFY(propertyWindows().isEmpty());

        list->SelectRow(2);
        cmd_Info_Click(*window_);
        QCOMPARE(script.calls().size(), 2);
        QCOMPARE(propertyWindows().size(), 1);
        PropertiesWindow* shown = propertyWindows().first();
        QCOMPARE(shown->rawPath(), odd);
        QCOMPARE(shown->parentWidget(), window_.data());
        QCOMPARE(shown->value(QStringLiteral("Typ")), QStringLiteral("Ordner"));
        shown->close();
    }
};

QTEST_MAIN(TstCmdInfo)
#include "tst_cmdinfo.moc"
