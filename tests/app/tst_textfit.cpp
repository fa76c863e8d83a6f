// Every text readable, at the usual 9 pt desktop font and at a 12 pt one
// (and, run a second time by CTest, at QT_SCALE_FACTOR=2): at the first-start
// size, after a scan with six-digit counts and twelve-digit sizes below a
// long root path, no two controls of the main window, the file view, the
// progress window, the About window, the properties window or a message box
// overlap and no label, button caption, header or cell text is cut
// (measured with the font each control has). Texts that may elide (long
// paths and names) keep their full text as tooltip and accessible name. The
// windows grow with the desktop's font: fonts and sizes by the same scale.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "controls/RoCommand.h"
#include "controls/RoListBox.h"
#include "about/Copyright.h"
#include "about/VersionStrip.h"
#include "actions/PropertiesWindow.h"
#include "platform/MsgBox.h"
#include "scan/BitteWarten.h"
#include "rows/FolderRowBuilder.h"
#include "fileview/FileListModel.h"
#include "fileview/FileViewOpener.h"
#include "fileview/FrmDelFile.h"
#include "platform/Fonts.h"
#include "platform/FormRegistry.h"
#include "platform/Twips.h"
#include "scan/ScanSession.h"
#include "fileview/FileViewFixtures.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QPointer>
#include <QStyleOptionComboBox>
#include <QStyleOptionHeader>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTableView>
#include <QTreeView>
#include <QtTest>

using namespace velmaro;
using namespace velmaro::testsupport;
using platform::forms;
using velmaro::test::openFileView;

namespace {

const QByteArray kLongRoot = QByteArrayLiteral("Ablage/Projekte 2024/Kundenordner/Übergabe an die "
                                               "Buchhaltung/Quartalsberichte und Anhänge/Stammordner/");

QString accessibleName(QWidget* w)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QString();
}

QString where(QWidget* w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// Two copies of one title drawn as a relief (a label over another with
// the same text) are one control.
bool reliefPair(QWidget* a, QWidget* b)
{
    auto* first = qobject_cast<QLabel*>(a);
    auto* second = qobject_cast<QLabel*>(b);
    return first && second && !first->text().isEmpty() && first->text() == second->text();
}

// Controls that lie on each other.
void overlaps(QWidget* window, QStringList& out)
{
    QList<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            shown << w;
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()) && !reliefPair(shown[i], shown[j]))
                out << where(shown[i]) + " overlaps " + where(shown[j]);
}

// A label's text in its own font, or elided with the full text kept.
void labelTexts(QWidget* window, const QStringList& mayElide, QStringList& out)
{
    for (QLabel* l : window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (!l->isVisible() || l->text().isEmpty())
            continue;
        const QFontMetrics m(l->font());
        const QRect box = l->contentsRect();
        if (box.height() < m.height())
            out << where(l) + " is lower than its font";
        if (l->wordWrap()) {  // the lines it breaks the text into
            const QRect need = m.boundingRect(box, Qt::TextWordWrap | int(l->alignment()), l->text());
            if (need.height() > box.height() || need.width() > box.width())
                out << where(l) + " cuts \"" + l->text() + "\"";
            continue;
        }
        // The version strip runs its text upwards.
        const int room = qobject_cast<VersionStrip*>(l) ? box.height() : box.width();
        if (m.horizontalAdvance(l->text()) <= room)
            continue;
        if (!mayElide.contains(l->objectName()))
            out << where(l) + " cuts \"" + l->text() + "\"";
        else if (l->toolTip() != l->text() || accessibleName(l) != l->text())
            out << where(l) + " elides without its full text as tooltip and accessible name";
    }
}

// Captions fit; buttons of one size in one row share the caption size.
void captions(QWidget* window, QStringList& out)
{
    QHash<QString, double> sizeOfRow;
    for (RoCommand* b : window->findChildren<RoCommand*>(Qt::FindDirectChildrenOnly)) {
        if (!b->isVisible() || b->text().isEmpty())
            continue;
        if (QFontMetrics(b->font()).horizontalAdvance(b->text()) > b->width() - 4)
            out << where(b) + " cuts its caption";
        const QString row = QStringLiteral("%1x%2@%3").arg(b->width()).arg(b->height()).arg(b->y());
        if (sizeOfRow.contains(row) && sizeOfRow[row] != b->font().pointSizeF())
            out << where(b) + " has another caption size than its row";
        sizeOfRow.insert(row, b->font().pointSizeF());
    }
}

void comboText(QComboBox* combo, QStringList& out)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.currentText = combo->currentText();
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    if (combo->fontMetrics().horizontalAdvance(combo->currentText()) > field.width())
        out << where(combo) + " cuts \"" + combo->currentText() + "\"";
}

// The column header of a tree or table view.
QHeaderView* headerOf(QAbstractItemView* view)
{
    if (auto* tree = qobject_cast<QTreeView*>(view))
        return tree->header();
    return static_cast<QTableView*>(view)->horizontalHeader();
}

void headerTexts(QAbstractItemView* view, QStringList& out)
{
    QHeaderView* header = headerOf(view);
    if (header->isHidden())
        return;
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.rect = QRect(header->sectionViewportPosition(c), 0, header->sectionSize(c), header->height());
        option.text = view->model()->headerData(c, Qt::Horizontal).toString();
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == c)
            option.sortIndicator = QStyleOptionHeader::SortDown;
        const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
        if (header->fontMetrics().horizontalAdvance(option.text) > label.width())
            out << where(view) + " header cuts \"" + option.text + "\"";
    }
}

// Cells of the rows in view: whole, with room above and below the font
// (accents), or, where eliding is allowed, with the full text as tooltip.
void cellTexts(QAbstractItemView* view, const QStringList& mayElide, QStringList& out)
{
    const QFontMetrics m(view->font());
    const QModelIndex top = view->indexAt(QPoint(1, 1));
    for (int r = top.row(); top.isValid() && r < view->model()->rowCount(top.parent()); ++r) {
        const QModelIndex row = top.siblingAtRow(r);
        if (view->visualRect(row).top() >= view->viewport()->height())
            break;
        for (int c = 0; c < view->model()->columnCount(row.parent()); ++c) {
            const QModelIndex cell = row.siblingAtColumn(c);
            const QString text = cell.data().toString();
            const QRect rect = view->visualRect(cell);
            if (text.isEmpty() || headerOf(view)->isSectionHidden(c))
                continue;
            const QString name = where(view) + QStringLiteral(":%1 \"%2\"").arg(c + 1).arg(text);
            if (rect.height() < m.height() + 2)
                out << name + " has no room for accents";
            if (view->sizeHintForIndex(cell).width() <= rect.width())
                continue;
            if (!mayElide.contains(where(view) + QStringLiteral(":%1").arg(c + 1))) {
                out << name + " is cut";
                continue;
            }
            const QPoint at(std::clamp(rect.center().x(), 0, view->viewport()->width() - 1),
                            rect.center().y());
            QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &help);
            if (QToolTip::text() != text)
                out << name + " elides without a tooltip";
            QToolTip::hideText();
        }
    }
}

// The folder list: the size column lies wholly in view beside the name, and
// no size text of any row is wider than the column (each text once).
void sizeColumn(RoListBox* list, QStringList& out)
{
    list->folderModel()->publish();
    const QHeaderView* header = list->header();
    if (header->sectionViewportPosition(2) + header->sectionSize(2) > list->viewport()->width())
        out << QStringLiteral("the size column runs under the scroll bar (%1 + %2 > %3)")
                   .arg(header->sectionViewportPosition(2))
                   .arg(header->sectionSize(2))
                   .arg(list->viewport()->width());
    QSet<QString> seen;
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        const QModelIndex cell = list->model()->index(r, 2);
        const QString text = cell.data().toString();
        if (seen.contains(text))
            continue;
        seen.insert(text);
        if (list->sizeHintForIndex(cell).width() > list->columnWidth(2))
            out << QStringLiteral("the size \"%1\" is cut").arg(text);
    }
}

QStringList problems(QWidget* window, const QStringList& mayElide)
{
    QStringList out;
    overlaps(window, out);
    labelTexts(window, mayElide, out);
    captions(window, out);
    for (QComboBox* combo : window->findChildren<QComboBox*>(Qt::FindDirectChildrenOnly))
        comboText(combo, out);
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>(Qt::FindDirectChildrenOnly)) {
        if (view->isVisible() && (qobject_cast<QTreeView*>(view) || qobject_cast<QTableView*>(view))) {
            headerTexts(view, out);
            cellTexts(view, mayElide, out);
        }
        if (auto* list = qobject_cast<RoListBox*>(view))
            sizeColumn(list, out);
    }
    return out;
}

// The desktop's font at `points`, as a user may have set it.
void setDesktopFont(double points)
{
    QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    desktop.setPointSizeF(points);
    QApplication::setFont(desktop);
}

// Runs `inspect` on the message box that `show` raises, then closes it.
QStringList inspectMessageBox(const std::function<void()>& show,
                              const std::function<QStringList(QMessageBox*)>& inspect)
{
    QStringList found{QStringLiteral("no message box showed")};
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        found = inspect(box);
        box->defaultButton()->click();
    });
    poll.start();
    show();
    return found;
}

}  // namespace

class TestTextFit : public QObject {
    Q_OBJECT
private:
    ScanSession scans_;  // the program's one scan session
    QTemporaryDir home_, trees_;
    QByteArray root_;
    QPointer<MainWindow> window_;
    double points_ = 0;  // the desktop font the windows were built for

    // The long root with a few real folders and files, scanned, then
    // 100,000 more zero-byte rows (both count lines get six digits), a
    // twelve-digit size and a size cut short. Built anew for another font.
    MainWindow* scannedWindow(double points)
    {
        if (window_ && points_ == points)
            return window_;
        closeAll();
        setDesktopFont(points);
        points_ = points;
        window_ = forms().load<MainWindow>(QStringLiteral("Velmaro"));
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_))
            return nullptr;
        window_->setScanRoot(root_);
        scans_.Scan_starten();
        RoListBox* list = window_->roListBox_Ordner();
        std::vector<FolderRow> more;
        for (int i = 0; i < 100000; ++i)
            more.push_back(folderRow(root_ + "zz/" + QByteArray::number(i) + '/', QStringLiteral("0"), true));
        const quint64 huge = 987654321098ull * 1024 + 778;  // "987654321098,76"
        more.push_back(folderRow(root_ + "riesig/", FolderRowBuilder().sizeText(huge), false, huge));
        FolderRow cut = folderRow(root_ + "abgebrochen/", FolderRowBuilder::kIncompleteText);
        cut.sizeKnown = false;
        more.push_back(cut);
        appendRows(*list->folderModel(), std::move(more));
        scans_.run()->OrdnerZähler();
        list->SelectRow(2);  // "Dokumente"
        QCoreApplication::processEvents();
        return window_;
    }

    void closeAll()
    {
        platform::Alle_Fenster_schliessen();
        flushDeletes();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home_.isValid() && trees_.isValid());
        usePrivateHome(home_.path());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        registerForms(scans_);
        root_ = QFile::encodeName(trees_.path()) + '/';
        for (const QByteArray& part : kLongRoot.split('/'))
            if (!part.isEmpty())
                makeDir(root_ += part + '/');
        const QByteArray docs = root_ + "Dokumente/";
        makeDir(docs);
        makeSparse(docs +
                       "Übersicht Änderungen Öffnungszeiten Ärzte und Zahnärzte im ganzen Landkreis 2024.txt",
                   1040000);
        makeSparse(docs + "ÄÖÜ.txt", 500);
        makeSparse(docs + "Jahresarchiv.tar", 100 * (qint64(1) << 30));
        makeSparse(docs + "halb.bin", 1610612736);
        makeDir(root_ + "Übergrößen Ärger/");
        makeSparse(root_ + "Übergrößen Ärger/groß.bin", qint64(3) << 30);
    }
    void cleanupTestCase()
    {
        closeAll();
        removeTree(trees_.path());
    }

    void nothingOverlapsOrIsCut_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("mayElide");
        // At twice the scale (a second run by CTest) the usual font only: the
        // screen has 640 x 512 logical pixels then.
        const bool doubled = qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2;
        for (double points : doubled ? QList<double>{9.0} : QList<double>{9.0, 12.0}) {
            const QByteArray font = QByteArray::number(points) + " pt, ";
            QTest::newRow(font + "main window")
                << points << "Velmaro"
                << QStringList{"LabelVerzeichnis", "roListBox_Ordner:1", "roListBox_Ordner:2"};
            QTest::newRow(font + "file view") << points << "frm_DelFile" << QStringList{"ListView:1"};
            QTest::newRow(font + "progress window") << points << "BitteWarten" << QStringList{};
            QTest::newRow(font + "About") << points << "Copyright" << QStringList{};
            QTest::newRow(font + "properties")
                << points << "Eigenschaften" << QStringList{"Wert_Name", "Wert_Ordner"};
            QTest::newRow(font + "message box") << points << "MsgBox" << QStringList{};
        }
    }

    void nothingOverlapsOrIsCut()
    {
        QFETCH(double, points);
        QFETCH(QString, window);
        QFETCH(QStringList, mayElide);
        MainWindow* main = scannedWindow(points);
        QVERIFY(main);
        // Fonts and twips grow together: a 12 pt desktop font gives a third
        // more of both. The window opens at its minimum: the designed size,
        // wider where the count lines need it, smaller where the screen is.
        const double scale = points / 9.0;
        QCOMPARE(main->font().pointSizeF(), 8.25 * scale);
        QCOMPARE(main->size(), main->minimumSize());
        const QSize designed(qRound(10170 / 15.0 * scale), qRound(4860 / 15.0 * scale));
        if (main->screen()->availableGeometry().width() > designed.width() + 50) {
            QCOMPARE(main->height(), designed.height());
            QVERIFY(main->width() >= designed.width());
        }
        QVERIFY(main->Label_Info(1)->text().contains(QLatin1String("davon 1000")));
        QCOMPARE(main->Label_Info(1)->font().pointSizeF(), main->font().pointSizeF());  // not shrunk
        QStringList found;
        if (window == QLatin1String("Velmaro")) {
            QVERIFY(main->LabelVerzeichnis()->text().endsWith(QFile::decodeName(kLongRoot)));
            found = problems(main, mayElide);
        } else if (window == QLatin1String("frm_DelFile")) {
            found << QStringLiteral("the file view did not open");
            openFileView(main->folderActions(), [&](FrmDelFile& view) {
                QCoreApplication::processEvents();
                found = problems(&view, mayElide);
                if (view.listModel()->rowCount() != 4)
                    found << QStringLiteral("the file view lists %1 files").arg(view.listModel()->rowCount());
                if (view.font() != main->font())
                    found << QStringLiteral("the file view has another font than the main window");
            });
        } else if (window == QLatin1String("BitteWarten")) {
            BitteWarten progress(scans_, main);
            progress.findChild<QTimer*>(QStringLiteral("Timer"))->stop();  // no scan
            progress.show();
            QVERIFY(QTest::qWaitForWindowExposed(&progress));
            found = problems(&progress, mayElide);
            QCOMPARE(progress.width(), qRound(3255 / 15.0 * scale));
        } else if (window == QLatin1String("Copyright")) {
            Copyright about;
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            found = problems(&about, mayElide);
            QCOMPARE(about.width(), qRound(3585 / 15.0 * scale));
        } else if (window == QLatin1String("Eigenschaften")) {
            PropertiesWindow* properties = PropertiesWindow::open(main, root_ + "Dokumente/", 1610612736);
            QVERIFY(QTest::qWaitForWindowExposed(properties));
            found = problems(properties, mayElide);
            if (properties->font() != main->font())
                found << QStringLiteral("the properties window has another font than the main window");
            properties->close();
        } else {
            found = inspectMessageBox(
                [&] {
                    platform::MsgBox(QStringLiteral("Sollen 100000 Ordner mit 0 Byte gelöscht werden?"), 35,
                                     QString(), main);
                },
                [&](QMessageBox* box) {
                    QStringList out = problems(box, mayElide);
                    if (box->font() != main->font())
                        out << QStringLiteral("the message box has another font than the main window");
                    return out;
                });
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    installFontSubstitutions();
    TestTextFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textfit.moc"
