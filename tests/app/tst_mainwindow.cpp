// The main window: start-up from the settings store, shutdown, close-all,
// names and keyboard order, drive selection, the logo.
#include "about/Copyright.h"
#include "app/MainLayout.h"
#include "app/MainWindow.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoListBox.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using velmaro::MainLayout;
using velmaro::MainWindow;
using velmaro::RoCommand;
namespace platform = velmaro::platform;

namespace {

int px(double twips) {
    return platform::twipsToPixels(twips);
}

QString stored(const char* key) {
    return platform::Settings::read(QStringLiteral("Setup"), QString::fromLatin1(key), QStringLiteral("<none>"));
}

void store(const char* key, const QString& value) {
    platform::Settings::save(QStringLiteral("Setup"), QString::fromLatin1(key), value);
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// A second window that writes a marker into the store when it is unloaded.
class MarkerWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* e) override {
        store("WindowState", QStringLiteral("marker"));
        QWidget::closeEvent(e);
    }
};

}  // namespace

class TstMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstStartOpensAtTheMinimumWithEmptyLabels();
    void controlsHaveNamesCaptionsAndTabOrder();
    void storedTextThatIsNoNumberIsIgnored();
    void storedWidthBelowMinimumIsRaised();
    void resizeLaysOutAndCloseStoresTheSize();
    void maximizedStoresStateAndKeepsTheOldSize();
    void minimizedStoresStateOne();
    void exitUnloadsEveryWindowAndStoresOnce();
    void closeBoxAlsoUnloadsTheOtherWindows();
    void unreadableDriveKeepsThePreviousOne();
    void driveChangeMovesTheTreeOnly();
    void scanRootAndTreePath();
    void logoOpensTheAboutWindowModally();

private:
    MainWindow* open();
    QTemporaryDir dir_;
    QPointer<MainWindow> window_;
};

void TstMainWindow::initTestCase() {
    QVERIFY(dir_.isValid());
    platform::forms().registerForm(QStringLiteral("Velmaro"), [] { return new MainWindow; });
    platform::forms().registerForm(QStringLiteral("Copyright"), [] { return new velmaro::Copyright; });
    platform::forms().registerForm(QStringLiteral("frm_DelFile"), [] { return new MarkerWindow; });
}

void TstMainWindow::init() {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmaro"), QStringLiteral("Velmaro"));
    s.clear();
    s.sync();
    QVERIFY2(s.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")), qPrintable(s.fileName()));
}

void TstMainWindow::cleanup() {
    platform::Alle_Fenster_schliessen();
    flushDeletes();
    QVERIFY(platform::forms().loaded().isEmpty());
}

MainWindow* TstMainWindow::open() {
    window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
    if (!window_)
        return nullptr;
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_))
        return nullptr;
    return window_;
}

void TstMainWindow::firstStartOpensAtTheMinimumWithEmptyLabels() {
    MainWindow* w = open();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Velmaro"));
    QCOMPARE(w->size(), QSize(px(10170), px(4860)));
    QCOMPARE(w->minimumSize(), QSize(px(10170), px(4860)));
    QVERIFY(qAbs(w->outerWidthTwips() - 10290) < platform::twipsPerPixel());
    QCOMPARE(w->windowStateCode(), 0);
    QVERIFY(w->LabelVerzeichnis()->text().isEmpty());
    QVERIFY(w->Label_Info(0)->text().isEmpty());
    QVERIFY(w->Label_Info(1)->text().isEmpty());
    QCOMPARE(w->roListBox_Ordner()->RowCount(), 0);
    QVERIFY(!w->windowIcon().isNull());

    // Centred on the screen.
    const QRect area = w->screen()->availableGeometry();
    QVERIFY(qAbs(w->frameGeometry().center().x() - area.center().x()) <= px(120));
    QVERIFY(qAbs(w->frameGeometry().center().y() - area.center().y()) <= px(435));

    // The layout values at the minimum size, not the designed ones.
    QCOMPARE(w->cmd_Ende()->geometry(), QRect(px(9375), px(4360), px(735), px(465)));
    QCOMPARE(w->roListBox_Ordner()->geometry(), QRect(px(2820), px(270), px(7275), px(4065)));
    QCOMPARE(w->Label_Info(1)->pos(), QPoint(px(1500), px(4595)));
    QCOMPARE(w->Logo()->pos(), QPoint(px(60), px(4380)));

    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->cmd_Ende()));
}

void TstMainWindow::controlsHaveNamesCaptionsAndTabOrder() {
    MainWindow* w = open();
    QVERIFY(w);
    const QList<QPair<QString, QString>> captioned = {
        {"cmd_Ende", "Exit"},
        {"cmd_Go", "Unterordner suchen"},
        {"cmd_OrdnerDel", "Ordner löschen"},
        {"cmd_OrdnerNull", "0 Byte Ordner löschen"},
        {"cmd_DelFile", "Ordnerdateien zeigen"},
        {"cmd_Info", "Eigenschaften"},
        {"Logo", "Über Velmaro"},
        {"Label_0", "Laufwerk"},
        {"Label_1", "Stammverzeichnis"},
        {"Label_2", "Verzeichnis"},
    };
    for (const auto& [name, caption] : captioned) {
        QWidget* c = w->findChild<QWidget*>(name);
        QVERIFY2(c, qPrintable(name));
        QCOMPARE(c->accessibleDescription(), name);
        if (auto* label = qobject_cast<QLabel*>(c); label && name.startsWith(QLatin1String("Label")))
            QCOMPARE(label->text(), caption);
        else
            QCOMPARE(c->accessibleName(), caption);
    }
    for (const char* name : {"Drive1", "Dir1", "roListBox_Ordner", "LabelVerzeichnis", "Label_Info_0", "Label_Info_1"}) {
        QWidget* c = w->findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY2(c, name);
        QCOMPARE(c->accessibleDescription(), QString::fromLatin1(name));
    }
    QVERIFY(w->cmd_Info()->text().isEmpty());
    QCOMPARE(w->cmd_OrdnerDel()->backColor(), RoCommand::kRed);
    QCOMPARE(w->cmd_OrdnerNull()->backColor(), RoCommand::kRed);
    QCOMPARE(w->cmd_DelFile()->backColor(), RoCommand::kLightRed);
    QCOMPARE(w->cmd_Go()->backColor(), RoCommand::kNearWhite);

    // Tab order: the design's, then the logo; labels take no focus.
    const QStringList expected = {"cmd_Ende",      "Drive1",         "Dir1",        "cmd_Go",
                                  "roListBox_Ordner", "cmd_OrdnerDel", "cmd_OrdnerNull", "cmd_DelFile",
                                  "cmd_Info",      "Logo",           "cmd_Ende"};
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->cmd_Ende()->setFocus();
    QStringList chain{QApplication::focusWidget()->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        chain << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(chain, expected);
    QCOMPARE(w->Label(0)->focusPolicy(), Qt::NoFocus);
}

void TstMainWindow::storedTextThatIsNoNumberIsIgnored() {
    store("Width", QStringLiteral("abc"));
    store("Height", QStringLiteral("6000"));
    store("WindowState", QStringLiteral("x"));
    MainWindow* w = open();
    QVERIFY(w);
    QCOMPARE(w->size(), QSize(px(10170), px(6000 - 435)));
    QCOMPARE(w->windowStateCode(), 0);

    double v = 0;
    QVERIFY(MainWindow::parseStoredNumber(QStringLiteral(" 12000 "), &v));
    QCOMPARE(v, 12000.0);
    QVERIFY(MainWindow::parseStoredNumber(QStringLiteral("10290.5"), &v));
    QVERIFY(!MainWindow::parseStoredNumber(QStringLiteral("10290,5"), &v));
    QVERIFY(!MainWindow::parseStoredNumber(QStringLiteral(""), &v));
    QVERIFY(!MainWindow::parseStoredNumber(QStringLiteral("inf"), &v));
}

void TstMainWindow::storedWidthBelowMinimumIsRaised() {
    store("Width", QStringLiteral("5000"));
    store("Height", QStringLiteral("3000"));
    MainWindow* w = open();
    QVERIFY(w);
    QCOMPARE(w->size(), QSize(px(10170), px(4860)));
    QCOMPARE(w->cmd_Ende()->pos(), QPoint(px(9375), px(4360)));
}

void TstMainWindow::resizeLaysOutAndCloseStoresTheSize() {
    MainWindow* w = open();
    QVERIFY(w);
    w->setOuterSizeTwips(11290, 5795);
    QTRY_COMPARE(w->size(), QSize(px(11170), px(5360)));
    QCOMPARE(w->roListBox_Ordner()->size(), QSize(px(8275), px(4565)));
    QCOMPARE(w->Dir1()->geometry(), QRect(px(30), px(810), px(2745), px(3515)));
    QCOMPARE(w->cmd_Go()->pos(), QPoint(px(60), px(4400)));
    QCOMPARE(w->cmd_OrdnerNull()->pos(), QPoint(px(4390), px(4860)));
    QCOMPARE(w->Drive1()->geometry(), QRect(px(30), px(270), px(2745), px(315)));
    QCOMPARE(w->Label(1)->pos(), QPoint(px(2820), px(30)));

    w->setOuterSizeTwips(12000, 7000);
    QTRY_COMPARE(w->size(), QSize(px(11880), px(6565)));
    w->close();
    const double tolerance = platform::twipsPerPixel();
    QVERIFY2(qAbs(stored("Width").toDouble() - 12000) <= tolerance, qPrintable(stored("Width")));
    QVERIFY2(qAbs(stored("Height").toDouble() - 7000) <= tolerance, qPrintable(stored("Height")));
    QVERIFY(!stored("Width").contains(QLatin1Char('.')));
    QCOMPARE(stored("WindowState"), QStringLiteral("0"));
    QTRY_VERIFY(!window_);

    // The next start opens at that size.
    MainWindow* again = open();
    QVERIFY(again);
    QCOMPARE(again->size(), QSize(px(11880), px(6565)));
}

void TstMainWindow::maximizedStoresStateAndKeepsTheOldSize() {
    store("Width", QStringLiteral("12000"));
    store("Height", QStringLiteral("7000"));
    MainWindow* w = open();
    QVERIFY(w);
    w->showMaximized();
    QTRY_COMPARE(w->windowStateCode(), 2);
    w->close();
    QCOMPARE(stored("WindowState"), QStringLiteral("2"));
    QCOMPARE(stored("Width"), QStringLiteral("12000"));
    QCOMPARE(stored("Height"), QStringLiteral("7000"));
    QTRY_VERIFY(!window_);

    // The next start opens maximized; restoring gives the older normal size.
    MainWindow* again = open();
    QVERIFY(again);
    QVERIFY(again->windowState() & Qt::WindowMaximized);
    again->showNormal();
    QTRY_COMPARE(again->size(), QSize(px(11880), px(6565)));
}

void TstMainWindow::minimizedStoresStateOne() {
    store("Width", QStringLiteral("11000"));
    MainWindow* w = open();
    QVERIFY(w);
    w->showMinimized();
    QTRY_COMPARE(w->windowStateCode(), 1);
    w->close();
    QCOMPARE(stored("WindowState"), QStringLiteral("1"));
    QCOMPARE(stored("Width"), QStringLiteral("11000"));
    QTRY_VERIFY(!window_);

    window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
    QVERIFY(window_);
    QCOMPARE(window_->windowStateCode(), 1);
}

void TstMainWindow::exitUnloadsEveryWindowAndStoresOnce() {
    MainWindow* w = open();
    QVERIFY(w);
    // The file view was opened and closed: loaded but hidden.
    QPointer<QWidget> other = platform::forms().load(QStringLiteral("frm_DelFile"));
    other->show();
    platform::forms().hide(QStringLiteral("frm_DelFile"));
    QCOMPARE(platform::forms().loaded(), (QStringList{"Velmaro", "frm_DelFile"}));

    QTest::mouseClick(w->cmd_Ende(), Qt::LeftButton);
    QVERIFY(platform::forms().loaded().isEmpty());
    flushDeletes();
    QVERIFY(!window_);
    QVERIFY(!other);
    // The main window stored its settings before the other window was
    // unloaded and never again after it.
    QCOMPARE(stored("WindowState"), QStringLiteral("marker"));
    QCOMPARE(stored("Width"), QStringLiteral("10290"));
    QCOMPARE(stored("Height"), QStringLiteral("5295"));
}

void TstMainWindow::closeBoxAlsoUnloadsTheOtherWindows() {
    MainWindow* w = open();
    QVERIFY(w);
    QPointer<QWidget> other = platform::forms().load(QStringLiteral("frm_DelFile"));
    QVERIFY(other);
    w->close();
    QVERIFY(platform::forms().loaded().isEmpty());
    flushDeletes();
    QVERIFY(!window_);
    QVERIFY(!other);
}

void TstMainWindow::unreadableDriveKeepsThePreviousOne() {
    MainWindow* w = open();
    QVERIFY(w);
    w->setScanRoot(QByteArrayLiteral("/srv/liste/"));
    w->Label_Info(0)->setText(QStringLiteral("3 Ordner gefunden "));
    const QString drive = w->Drive1()->currentText();
    const QString path = w->dir1Path();

    const QString missing = dir_.filePath(QStringLiteral("kein-medium"));
    w->Drive1()->addItem(missing);
    platform::MsgBoxScript script;
    w->Drive1()->setCurrentIndex(w->Drive1()->count() - 1);

    QCOMPARE(script.calls().size(), 1);
    QCOMPARE(script.calls().first().prompt,
             QStringLiteral("Das Laufwerk ") + missing + QStringLiteral(" kann nicht gelesen werden."));
    QCOMPARE(script.calls().first().style, 64);
    QVERIFY(script.calls().first().title.isEmpty());
    QCOMPARE(w->Drive1()->currentText(), drive);
    QCOMPARE(w->currentDrive(), drive);
    QCOMPARE(w->dir1Path(), path);
    QCOMPARE(w->LabelVerzeichnis()->text(), QStringLiteral("/srv/liste/"));
    QCOMPARE(w->Label_Info(0)->text(), QStringLiteral("3 Ordner gefunden "));
    QVERIFY(w->isVisible());
}

void TstMainWindow::driveChangeMovesTheTreeOnly() {
    MainWindow* w = open();
    QVERIFY(w);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("stick/fotos")));
    const QString stick = dir_.filePath(QStringLiteral("stick"));
    w->setScanRoot(QByteArrayLiteral("/srv/liste/"));
    const QString before = w->dir1Path();
    const int previous = w->Drive1()->currentIndex();

    platform::MsgBoxScript script;
    w->Drive1()->addItem(stick);
    w->Drive1()->setCurrentIndex(w->Drive1()->count() - 1);
    QVERIFY(script.calls().isEmpty());
    QCOMPARE(w->currentDrive(), stick);
    QCOMPARE(w->dir1Path(), stick + QLatin1Char('/'));
    QCOMPARE(w->LabelVerzeichnis()->text(), QStringLiteral("/srv/liste/"));

    // Back on the first drive, the tree shows the folder that was open there.
    w->Drive1()->setCurrentIndex(previous);
    QCOMPARE(w->dir1Path(), before);
    QVERIFY(script.calls().isEmpty());
}

void TstMainWindow::scanRootAndTreePath() {
    MainWindow* w = open();
    QVERIFY(w);
    QCOMPARE(w->dir1Path(), QDir::currentPath() == QLatin1String("/") ? QStringLiteral("/")
                                                                       : QDir::currentPath() + QLatin1Char('/'));
    w->setDir1Path(QStringLiteral("/"));
    QCOMPARE(w->dir1Path(), QStringLiteral("/"));
    w->setDir1Path(dir_.path());
    QCOMPARE(w->dir1Path(), dir_.path() + QLatin1Char('/'));
    QVERIFY(w->Dir1()->isColumnHidden(1) && w->Dir1()->isColumnHidden(3));

    const QByteArray raw = QByteArrayLiteral("/tmp/Bl\xe4tter/");  // not UTF-8
    w->setScanRoot(raw);
    QCOMPARE(w->scanRootRaw(), raw);
    QCOMPARE(w->LabelVerzeichnis()->text(), QFile::decodeName(raw));
    // The label grows to the right with its text.
    const int shortWidth = w->LabelVerzeichnis()->width();
    w->setScanRoot(QByteArrayLiteral("/ein/sehr/langer/pfad/mit/vielen/ordnern/darin/"));
    QVERIFY(w->LabelVerzeichnis()->width() > shortWidth);
    QCOMPARE(w->LabelVerzeichnis()->pos(), QPoint(px(4170), px(30)));

    // Count lines written by others size themselves too.
    w->Label_Info(0)->setText(QStringLiteral("123456 Ordner gefunden "));
    QTRY_VERIFY(w->Label_Info(0)->width() >= w->Label_Info(0)->sizeHint().width());
    QCOMPARE(w->Label_Info(0)->pos(), QPoint(px(1500), px(4380)));
}

void TstMainWindow::logoOpensTheAboutWindowModally() {
    MainWindow* w = open();
    QVERIFY(w);
    for (int attempt = 0; attempt < 2; ++attempt) {
        QPointer<QWidget> about;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            about = platform::forms().find(QStringLiteral("Copyright"));
            modal = about && QApplication::activeModalWidget() == about;
            if (about)
                QTest::mouseClick(about->findChild<RoCommand*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        if (attempt == 0) {
            QTest::mouseClick(w->Logo(), Qt::LeftButton);
        } else {
            w->Logo()->setFocus();  // keyboard: Tab reaches the logo, Enter opens
            QTest::keyClick(w->Logo(), Qt::Key_Return);
        }
        QVERIFY(about);
        QVERIFY(modal);
        QVERIFY(!platform::forms().isLoaded(QStringLiteral("Copyright")));
    }
    QVERIFY(window_);
}

int main(int argc, char** argv) {
    // Settings, trash and data go to a private folder, never the user's.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    QApplication app(argc, argv);
    TstMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
