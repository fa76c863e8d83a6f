// Every text readable, with a 12 pt desktop font: at the first-start size,
// after a scan with six-digit counts below a long root path, no two controls
// of the main window or of the file view overlap and no label, button
// caption, header or cell text is cut (measured with the font each control
// has). Texts that may elide (long paths and names) keep their full text as
// tooltip and accessible name.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/controls/RoCommand.h"
#include "app/controls/RoListBox.h"
#include "fileview/FileListModel.h"
#include "fileview/FileViewOpener.h"
#include "fileview/FrmDelFile.h"
#include "platform/Fonts.h"
#include "platform/FormRegistry.h"
#include "platform/Twips.h"
#include "scan/ScanStarter.h"
#include "fileview/FileViewFixtures.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
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

// Controls that lie on each other.
void overlaps(QWidget* window, QStringList& out)
{
    QList<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            shown << w;
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
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
        if (m.horizontalAdvance(l->text()) <= box.width())
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
    }
    return out;
}

}  // namespace

class TestTextFit : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_, trees_;
    QByteArray root_;
    QPointer<MainWindow> window_;

    // The long root with a few real folders and files, scanned, then
    // 100,000 more zero-byte rows: both count lines get six digits.
    MainWindow* scannedWindow()
    {
        if (window_)
            return window_;
        window_ = forms().load<MainWindow>(QStringLiteral("Velmaro"));
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_))
            return nullptr;
        window_->setScanRoot(root_);
        Scan_starten();
        RoListBox* list = window_->roListBox_Ordner();
        std::vector<FolderRow> more;
        for (int i = 0; i < 100000; ++i)
            more.push_back(folderRow(root_ + "zz/" + QByteArray::number(i) + '/', QStringLiteral("0"), true));
        list->AddRows(std::move(more));
        window_->OrdnerZähler();
        list->SelectRow(2);  // "Dokumente"
        QCoreApplication::processEvents();
        return window_;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home_.isValid() && trees_.isValid());
        usePrivateHome(home_.path());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        registerForms();
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
        platform::Alle_Fenster_schliessen();
        flushDeletes();
        removeTree(trees_.path());
    }

    void nothingOverlapsOrIsCut_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("mayElide");
        QTest::newRow("main window") << "Velmaro"
                                     << QStringList{"LabelVerzeichnis", "roListBox_Ordner:1",
                                                    "roListBox_Ordner:2"};
        QTest::newRow("file view") << "frm_DelFile" << QStringList{"ListView:1"};
    }

    void nothingOverlapsOrIsCut()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, mayElide);
        MainWindow* main = scannedWindow();
        QVERIFY(main);
        QCOMPARE(main->size(), QSize(platform::twipsToPixels(10170), platform::twipsToPixels(4860)));
        QVERIFY(main->Label_Info(1)->text().contains(QLatin1String("davon 1000")));
        if (window == QLatin1String("Velmaro")) {
            QVERIFY(main->LabelVerzeichnis()->text().endsWith(QFile::decodeName(kLongRoot)));
            const QStringList found = problems(main, mayElide);
            QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
            return;
        }
        QStringList found{QStringLiteral("the file view did not open")};
        openFileView(main->folderActions(), [&](FrmDelFile& view) {
            QCoreApplication::processEvents();
            found = problems(&view, mayElide);
            if (view.listModel()->rowCount() != 4)
                found << QStringLiteral("the file view lists %1 files").arg(view.listModel()->rowCount());
        });
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The desktop's font at 12 pt, as a user may have set it.
    QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    desktop.setPointSizeF(12);
    QApplication::setFont(desktop);
    installFontSubstitutions();
    TestTextFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textfit.moc"
