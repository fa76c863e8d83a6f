// The main window: start-up from the settings store, shutdown, close-all,
// names and keyboard order, drive selection, the logo.
#include "about/Copyright.h"
#include "app/MainWindow.h"
#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "platform/FormRegistry.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "scan/ScanSession.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using velmaro::MainWindow;
using velmaro::ScanSession;
using velmaro::RoCommand;
using velmaro::testsupport::box;
using velmaro::testsupport::boxes;
using velmaro::testsupport::flushDeletes;
namespace platform = velmaro::platform;

namespace {

int px(double twips)
{
    return platform::twipsToPixels(twips);
}
QSize pxSize(double w, double h)
{
    return QSize(px(w), px(h));
}

QString stored(const char* key)
{
    return platform::Settings::read(QStringLiteral("Setup"), QString::fromLatin1(key),
                                    QStringLiteral("<none>"));
}
void store(const char* key, const QString& value)
{
    platform::Settings::save(QStringLiteral("Setup"), QString::fromLatin1(key), value);
}

// A second window that writes a marker into the store when it is unloaded.
class MarkerWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* e) override
    {
        store("WindowState", QStringLiteral("marker"));
        QWidget::closeEvent(e);
    }
};

}  // namespace

class TstMainWindow : public QObject {
    Q_OBJECT

private:
    ScanSession scans_;  // the program's one scan session
    MainWindow* open()
    {
        window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
        if (!window_)
            return nullptr;
        window_->show();
        return QTest::qWaitForWindowExposed(window_) ? window_.data() : nullptr;
    }
    QTemporaryDir dir_;
    QPointer<MainWindow> window_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        platform::forms().registerForm(QStringLiteral("Velmaro"), [this] { return new MainWindow(scans_); });
        platform::forms().registerForm(QStringLiteral("Copyright"), [] { return new velmaro::Copyright; });
        platform::forms().registerForm(QStringLiteral("frm_DelFile"), [] { return new MarkerWindow; });
    }

    void init()
    {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmaro"),
                    QStringLiteral("Velmaro"));
        s.clear();
        s.sync();
        QVERIFY2(s.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")), qPrintable(s.fileName()));
    }

    void cleanup()
    {
        platform::Alle_Fenster_schliessen();
        flushDeletes();
        QVERIFY(platform::forms().loaded().isEmpty());
    }

    void firstStartOpensAtTheMinimumWithEmptyLabels()
    {
        MainWindow* w = open();
        QVERIFY(w);
        QCOMPARE(w->size(), pxSize(10170, 4860));
        QCOMPARE(w->minimumSize(), pxSize(10170, 4860));
        QVERIFY(qAbs(w->placement().outerWidthTwips() - 10290) < platform::twipsPerPixel());
        QCOMPARE(w->placement().stateCode(), 0);
        QCOMPARE(w->LabelVerzeichnis()->text() + w->Label_Info(0)->text() + w->Label_Info(1)->text(),
                 QString());
        QCOMPARE(w->roListBox_Ordner()->RowCount(), 0);
        QVERIFY(!w->windowIcon().isNull());
        // Centred on the screen.
        const QRect area = w->screen()->availableGeometry();
        QVERIFY(qAbs(w->frameGeometry().center().x() - area.center().x()) <= px(120));
        QVERIFY(qAbs(w->frameGeometry().center().y() - area.center().y()) <= px(435));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->cmd_Ende()));
    }

    void tabOrder()
    {
        MainWindow* w = open();
        QVERIFY(w);
        // Tab order: the design's, then the logo; labels take no focus.
        const QStringList expected = {"cmd_Ende",         "Drive1",        "Dir1",           "cmd_Go",
                                      "roListBox_Ordner", "cmd_OrdnerDel", "cmd_OrdnerNull", "cmd_DelFile",
                                      "cmd_Info",         "Logo",          "cmd_Ende"};
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

    void startSizeFromTheStore_data()
    {
        QTest::addColumn<QStringList>("widthHeightState");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QPoint>("exitTwips");
        QTest::newRow("text that is no number is ignored")
            << QStringList{"inf", "6000", "x"} << pxSize(10170, 6000 - 435) << QPoint(9375, 5065);
        QTest::newRow("5000 is raised to the minimum")
            << QStringList{"5000", "3000", "0"} << pxSize(10170, 4860) << QPoint(9375, 4360);
        QTest::newRow("stored normal size, C number format")
            << QStringList{" 12000.4 ", "7000", "0"} << pxSize(11880, 6565) << QPoint(11085, 6065);
        QTest::newRow("a height that is no size gives the designed one")
            << QStringList{"12000", "-5", "0"} << pxSize(11880, 4860) << QPoint(11085, 4360);
        // Cut down to the screen's free area (the designed frame around it).
        const QSize free = QGuiApplication::primaryScreen()->availableGeometry().size() - pxSize(120, 435);
        const QPointF exit(platform::pixelsToTwips(free.width()) + 120 - 915,
                           platform::pixelsToTwips(free.height()) + 435 - 935);
        QTest::newRow("a size beyond the screen")
            << QStringList{"9999999", "9999999", "0"} << free << exit.toPoint();
    }

    void startSizeFromTheStore()
    {
        QFETCH(QStringList, widthHeightState);
        QFETCH(QSize, client);
        QFETCH(QPoint, exitTwips);
        store("Width", widthHeightState[0]);
        store("Height", widthHeightState[1]);
        store("WindowState", widthHeightState[2]);
        MainWindow* w = open();
        QVERIFY(w);
        QCOMPARE(w->size(), client);
        QCOMPARE(w->placement().stateCode(), 0);
        // Within a pixel: the stored twips are rounded to whole pixels.
        const QPoint off = w->cmd_Ende()->pos() - QPoint(px(exitTwips.x()), px(exitTwips.y()));
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
    }

    void resizeLaysOutAndCloseStoresTheSize()
    {
        MainWindow* w = open();
        QVERIFY(w);
        w->placement().setOuterSizeTwips(11290, 5795);
        QTRY_COMPARE(w->size(), pxSize(11170, 5360));
        QCOMPARE(w->Dir1()->geometry(), QRect(px(30), px(810), px(2745), px(3515)));  // the layout pass ran

        w->placement().setOuterSizeTwips(12000, 7000);
        QTRY_COMPARE(w->size(), pxSize(11880, 6565));
        w->close();
        const double tolerance = platform::twipsPerPixel();
        QVERIFY2(qAbs(stored("Width").toDouble() - 12000) <= tolerance, qPrintable(stored("Width")));
        QVERIFY2(qAbs(stored("Height").toDouble() - 7000) <= tolerance, qPrintable(stored("Height")));
        QVERIFY(!stored("Width").contains(QLatin1Char('.')));
        QCOMPARE(stored("WindowState"), QStringLiteral("0"));
    }

    void maximizedOrMinimizedStoresTheStateOnly_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("minimized") << 1;
        QTest::newRow("maximized") << 2;
    }

    void maximizedOrMinimizedStoresTheStateOnly()
    {
        QFETCH(int, code);
        store("Width", QStringLiteral("12000"));
        store("Height", QStringLiteral("7000"));
        MainWindow* w = open();
        QVERIFY(w);
        code == 1 ? w->showMinimized() : w->showMaximized();
        QTRY_COMPARE(w->placement().stateCode(), code);
        w->close();
        QCOMPARE(stored("WindowState"), QString::number(code));
        QCOMPARE(stored("Width") + stored("Height"), QStringLiteral("120007000"));
        QTRY_VERIFY(!window_);
        // The next start takes the state; restoring gives the older normal size.
        window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
        QVERIFY(window_);
        window_->show();
        QTRY_COMPARE(window_->placement().stateCode(), code);
        window_->showNormal();
        QTRY_COMPARE(window_->size(), pxSize(11880, 6565));
    }

    void closingUnloadsEveryWindow_data()
    {
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("Exit, file view hidden") << true;
        QTest::newRow("close box, file view loaded") << false;
    }

    void closingUnloadsEveryWindow()
    {
        QFETCH(bool, exitButton);
        MainWindow* w = open();
        QVERIFY(w);
        QPointer<QWidget> other = platform::forms().load(QStringLiteral("frm_DelFile"));
        QVERIFY(other);
        if (exitButton) {  // the file view was opened and closed: loaded but hidden
            other->show();
            platform::forms().hide(QStringLiteral("frm_DelFile"));
            QCOMPARE(platform::forms().loaded(), (QStringList{"Velmaro", "frm_DelFile"}));
            QTest::mouseClick(w->cmd_Ende(), Qt::LeftButton);
        } else {
            w->close();
        }
        QVERIFY(platform::forms().loaded().isEmpty());
        flushDeletes();
        QVERIFY(!window_);
        QVERIFY(!other);
        if (!exitButton)
            return;
        // The main window stored its settings before the other window was
        // unloaded and never again after it.
        QCOMPARE(stored("WindowState"), QStringLiteral("marker"));
        QCOMPARE(stored("Width") + "x" + stored("Height"), QStringLiteral("10290x5295"));
    }

    // A store that cannot be written (here a folder where its file belongs,
    // which stops root too): one message at Exit, and the program ends.
    void settingsThatCannotBeStoredAreSaidOnce()
    {
        MainWindow* w = open();
        QVERIFY(w);
        const QString file = platform::Settings::fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        platform::MsgBoxScript script;
        QTest::mouseClick(w->cmd_Ende(), Qt::LeftButton);
        const bool removed = QDir(file).removeRecursively();
        QCOMPARE(script.calls().size(), 1);
        QCOMPARE(script.calls()[0].prompt,
                 QStringLiteral("Die Fenstergröße konnte nicht gespeichert werden.\r"
                                "Die Einstellungsdatei \"") +
                     file + QStringLiteral("\" ist nicht beschreibbar."));
        QVERIFY(platform::forms().loaded().isEmpty());
        QVERIFY(removed);
        flushDeletes();
    }

    void driveSelection()
    {
        MainWindow* w = open();
        QVERIFY(w);
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("stick/fotos")));
        const QString stick = dir_.filePath(QStringLiteral("stick"));
        const QString missing = dir_.filePath(QStringLiteral("kein-medium"));
        w->setScanRoot(QByteArrayLiteral("/srv/liste/"));
        w->Label_Info(0)->setText(QStringLiteral("3 Ordner gefunden "));
        const QString drive = w->Drive1()->currentText(), path = w->picker()->dir1Path();
        const int previous = w->Drive1()->currentIndex();
        w->Drive1()->addItem(missing);
        w->Drive1()->addItem(stick);
        platform::MsgBoxScript script;

        // An unreadable drive keeps the previous one.
        w->Drive1()->setCurrentIndex(w->Drive1()->count() - 2);
        QCOMPARE(boxes(script),
                 QStringList{box(64, {}, "Das Laufwerk " + missing + " kann nicht gelesen werden.")});
        QCOMPARE(w->Drive1()->currentText() + "|" + w->picker()->currentDrive() + "|" +
                     w->picker()->dir1Path(),
                 drive + "|" + drive + "|" + path);
        QCOMPARE(w->Label_Info(0)->text(), QStringLiteral("3 Ordner gefunden "));
        QVERIFY(w->isVisible());

        // A readable one moves the tree only; back on the first, the tree shows
        // the folder that was open there.
        w->Drive1()->setCurrentIndex(w->Drive1()->count() - 1);
        QCOMPARE(w->picker()->currentDrive(), stick);
        QCOMPARE(w->picker()->dir1Path(), stick + QLatin1Char('/'));
        QCOMPARE(w->LabelVerzeichnis()->text(), QStringLiteral("/srv/liste/"));
        w->Drive1()->setCurrentIndex(previous);
        QCOMPARE(w->picker()->dir1Path(), path);
        QCOMPARE(script.calls().size(), 1);
    }

    void scanRootAndTreePath()
    {
        MainWindow* w = open();
        QVERIFY(w);
        QCOMPARE(w->picker()->dir1Path(), QDir::currentPath() == QLatin1String("/")
                                              ? QStringLiteral("/")
                                              : QDir::currentPath() + QLatin1Char('/'));
        w->picker()->setDir1Path(QStringLiteral("/"));
        QCOMPARE(w->picker()->dir1Path(), QStringLiteral("/"));
        w->picker()->setDir1Path(dir_.path());
        QCOMPARE(w->picker()->dir1Path(), dir_.path() + QLatin1Char('/'));

        const QByteArray raw = QByteArrayLiteral("/tmp/Bl\xe4tter/");  // not UTF-8
        w->setScanRoot(raw);
        QCOMPARE(w->scanRootRaw(), raw);
        QCOMPARE(w->LabelVerzeichnis()->text(), QFile::decodeName(raw));
        // The label grows to the right with its text.
        const int shortWidth = w->LabelVerzeichnis()->width();
        w->setScanRoot(QByteArrayLiteral("/ein/sehr/langer/pfad/mit/vielen/ordnern/darin/"));
        QVERIFY(w->LabelVerzeichnis()->width() > shortWidth);
        // Count lines written by others size themselves too.
        w->Label_Info(0)->setText(QStringLiteral("12 Ordner gefunden "));
        QTRY_VERIFY(w->Label_Info(0)->width() >= w->Label_Info(0)->sizeHint().width());
        QCOMPARE(w->Label_Info(0)->pos(), QPoint(px(1500), px(4380)));
    }

    // The search starts at the exact bytes of the start folder: a name that
    // is not UTF-8 is kept, a removed start folder stays that folder (its
    // scan is empty), never "/". A deleted folder moves the tree up.
    void searchStartsAtTheRawStartFolder_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("not UTF-8") << QByteArrayLiteral("Bl\xe4tter") << false;
        QTest::newRow("removed") << QByteArrayLiteral("weg") << true;
    }
    void searchStartsAtTheRawStartFolder()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, removed);
        const QByteArray start = QFile::encodeName(dir_.path()) + '/' + name;
        const QByteArray before = QFile::encodeName(QDir::currentPath());
        QVERIFY(::mkdir(start.constData(), 0755) == 0 && ::chdir(start.constData()) == 0);
        if (removed)
            QVERIFY(::rmdir(start.constData()) == 0);
        MainWindow* w = open();
        const QByteArray chosen = w ? w->dir1Raw() : QByteArray();
        QVERIFY(::chdir(before.constData()) == 0);
        ::rmdir(start.constData());
        QCOMPARE(chosen, start + '/');

        const QByteArray deep = QFile::encodeName(dir_.path()) + "/a/b/";
        QVERIFY(QDir().mkpath(QFile::decodeName(deep)));
        w->picker()->setDir1Raw(deep);
        w->folderDeleted(QFile::encodeName(dir_.path()) + "/x/");  // elsewhere: no move
        QCOMPARE(w->dir1Raw(), deep);
        w->folderDeleted(QFile::encodeName(dir_.path()) + "/a/");
        QCOMPARE(w->dir1Raw(), QFile::encodeName(dir_.path()) + '/');
        QCOMPARE(w->picker()->dir1Path(), dir_.path() + QLatin1Char('/'));
    }

    // Count lines too long for the designed minimum widen the window at
    // once and keep their size; shorter ones let the minimum go back.
    void longCountsWidenTheWindow()
    {
        MainWindow* w = open();
        QVERIFY(w);
        w->Label_Info(0)->setText(QStringLiteral("1 Ordner gefunden "));
        w->Label_Info(1)->setText(QStringLiteral("davon 1 Ordner mit 0 Byte"));
        QTest::qWait(20);
        const int designed = w->minimumWidth();  // this font may already need more than 10170 twips
        QVERIFY(designed >= px(10170));
        w->Label_Info(0)->setText(QStringLiteral("123456789012 Ordner gefunden "));
        w->Label_Info(1)->setText(QStringLiteral("davon 123456789012 Ordner mit 0 Byte"));
        QTRY_VERIFY(w->minimumWidth() > designed);
        QCOMPARE(w->width(), w->minimumWidth());
        for (int i : {0, 1}) {
            QLabel* line = w->Label_Info(i);
            QCOMPARE(line->font().pointSizeF(), w->font().pointSizeF());
            QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width());
            QVERIFY(line->geometry().right() < w->cmd_OrdnerNull()->x());
        }
        w->Label_Info(0)->setText(QStringLiteral("1 Ordner gefunden "));
        w->Label_Info(1)->setText(QStringLiteral("davon 1 Ordner mit 0 Byte"));
        QTRY_COMPARE(w->minimumWidth(), designed);
    }

    // A deep folder in the tree: no level scrolls off the left edge; the
    // levels indent less so that the folder's name starts within the left
    // three fifths of the tree.
    void deepFolderKeepsTheTreeReadable()
    {
        QByteArray deep = QFile::encodeName(dir_.path()) + '/';
        for (int level = 0; level < 8; ++level)
            deep += "Ebene " + QByteArray::number(level) + '/';
        QVERIFY(QDir().mkpath(QFile::decodeName(deep)));
        MainWindow* w = open();
        QVERIFY(w);
        w->picker()->setDir1Raw(deep);
        QTreeView* tree = w->Dir1();
        const auto nameStart = [&] { return tree->visualRect(tree->currentIndex()).left(); };
        QTRY_VERIFY(tree->visualRect(tree->currentIndex()).isValid() && nameStart() >= 0 &&
                    nameStart() <= tree->viewport()->width() * 3 / 5 + tree->indentation());
        QTest::qWait(100);  // the tree follows the folder a while after loading
        QCOMPARE(tree->horizontalScrollBar()->value(), 0);
        QVERIFY(tree->indentation() <
                tree->style()->pixelMetric(QStyle::PM_TreeViewIndentation, nullptr, tree));
    }

    void logoOpensTheAboutWindowModally()
    {
        MainWindow* w = open();
        QVERIFY(w);
        QPointer<QWidget> about;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            about = platform::forms().find(QStringLiteral("Copyright"));
            modal = about && QApplication::activeModalWidget() == about;
            if (about)
                QTest::mouseClick(about->findChild<RoCommand*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        w->Logo()->setFocus();  // Tab reaches the logo, Enter opens
        QTest::keyClick(w->Logo(), Qt::Key_Return);
        QVERIFY(about && modal);
        QVERIFY(!platform::forms().isLoaded(QStringLiteral("Copyright")));
        QVERIFY(window_);
    }
};

VELMARO_TEST_CLASS(TstMainWindow);
#include "tst_mainwindow.moc"
