// The main window's properties button: the message without a selected row,
// and the selected row's raw path handed to the properties routine.

#include "actions/Eigenschaften.h"
#include "actions/PropertiesWindow.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/controls/RoListBox.h"
#include "engine/SafeDelete.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace velmaro;

namespace {

FolderRow rowFor(const QByteArray& raw) {
    FolderRow row;
    row.rawPath = raw;
    row.path = QFile::decodeName(raw);
    row.name = QStringLiteral("x");
    row.sizeText = QStringLiteral("0");
    return row;
}

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
        const QByteArray base = QFile::encodeName(temp_.path());
        qputenv("HOME", base);
        qputenv("XDG_CONFIG_HOME", base + "/.config");
        qputenv("XDG_DATA_HOME", base + "/.local/share");
        // No session bus: the program's own properties window answers.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + base + "/no-bus");
        registerForms();
        window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
        QVERIFY(window_);
        window_->show();
    }

    void cleanupTestCase() {
        platform::Alle_Fenster_schliessen();
        // Names that do not decode are beyond QTemporaryDir's clean-up.
        engine::deleteTree(QFile::encodeName(temp_.path()).toStdString());
    }

    void withoutASelectedRowSaysNoFolderChosen() {
        RoListBox* list = window_->roListBox_Ordner();
        list->ClearRows();
        platform::MsgBoxScript script;
        cmd_Info_Click(*window_);
        list->AddRow(rowFor(QFile::encodeName(temp_.path()) + "/"));
        list->SelectRow(0);
        cmd_Info_Click(*window_);
        QCOMPARE(script.calls().size(), 2);
        for (const platform::MsgBoxCall& call : script.calls()) {
            QCOMPARE(call.prompt, QStringLiteral("Kein Verzeichnis gewählt."));
            QCOMPARE(call.style, 0);
            QCOMPARE(call.title, QString());
        }
        QVERIFY(propertyWindows().isEmpty());
    }

    void selectedRowOpensItsPropertiesByTheRawPath() {
        const QByteArray odd = QFile::encodeName(temp_.path()) + "/o\xff\nd";
        QVERIFY(::mkdir(odd.constData(), 0755) == 0);
        RoListBox* list = window_->roListBox_Ordner();
        list->ClearRows();
        list->AddRow(rowFor(QFile::encodeName(temp_.path()) + "/"));
        list->AddRow(rowFor(odd + "/"));
        list->SelectRow(2);
        platform::MsgBoxScript script;
        cmd_Info_Click(*window_);
        QCOMPARE(script.calls().size(), 0);
        QCOMPARE(propertyWindows().size(), 1);
        PropertiesWindow* shown = propertyWindows().first();
        QCOMPARE(shown->rawPath(), odd + "/");
        QCOMPARE(shown->parentWidget(), window_.data());
        QCOMPARE(shown->value(QStringLiteral("Typ")), QStringLiteral("Ordner"));
        shown->close();
    }
};

QTEST_MAIN(TstCmdInfo)
#include "tst_cmdinfo.moc"
