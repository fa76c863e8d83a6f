#include "fileview/FrmDelFile.h"

#include "platform/ControlPlacement.h"
#include "platform/FormNames.h"

#include "actions/AllesLoeschen.h"
#include "actions/Eigenschaften.h"
#include "controls/RoCommand.h"
#include "controls/FocusMark.h"
#include "controls/RowDelegate.h"
#include "fileview/FileListModel.h"
#include "fileview/FileListe.h"
#include "platform/FileOpener.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

namespace velmaro {

using platform::kNo;
using platform::kYes;
using platform::MsgBox;
using platform::twipsToPixels;

namespace {

struct Column {
    const char16_t* header;
    int widthTwips;
};
constexpr Column kColumns[] = {
    {u"Name", 3500}, {u"Größe", 900}, {u"Geändert am", 1100}, {u"Geändert um", 1100}};

}  // namespace

FrmDelFile::FrmDelFile(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
    , opener_(&platform::FileOpener::open)
    , properties_(&Eigenschaften_zeigen)
{
    setObjectName(FormNames::frm_DelFile());
    setAccessibleDescription(FormNames::frm_DelFile());
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(twipsToPixels(7605), twipsToPixels(5805));
    setFont(formFont());
    buildControls();
    wireHandlers();
    Form_Load();
}

FrmDelFile::~FrmDelFile() = default;

void FrmDelFile::buildControls()
{
    fileListe_ = new FileListe(this);
    model_ = new FileListModel(this);

    listView_ = new QTreeView(this);
    listView_->setAccessibleName(QStringLiteral("Dateien"));
    listView_->setModel(model_);
    listView_->setRootIsDecorated(false);
    listView_->setItemsExpandable(false);
    listView_->setUniformRowHeights(true);
    listView_->setAllColumnsShowFocus(true);
    listView_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    listView_->setTextElideMode(Qt::ElideRight);
    listView_->setItemDelegate(new RowDelegate(listView_));
    FocusMark::attach(listView_);
    listView_->header()->setSectionsClickable(true);
    listView_->header()->setSectionsMovable(false);
    listView_->header()->setStretchLastSection(false);
    listView_->header()->setSortIndicatorShown(true);
    platform::placeControl(listView_, QStringLiteral("ListView"), 30, 30, 7515, 5235);

    roCommand2_ = new RoCommand(QStringLiteral("Alle"), RoCommand::kNearWhite, this);
    roCommand2_->setAccessibleName(QStringLiteral("Alle"));
    platform::placeControl(roCommand2_, QStringLiteral("roCommand2"), 30, 5310, 1425, 405);
    cmdLoeschen_ = new RoCommand(QStringLiteral("Dateien löschen"), RoCommand::kRed, this);
    cmdLoeschen_->setAccessibleName(QStringLiteral("Dateien löschen"));
    platform::placeControl(cmdLoeschen_, QStringLiteral("cmd_Löschen"), 1500, 5310, 4755, 405);
    cmdEnde_ = new RoCommand(QStringLiteral("Zurück"), RoCommand::kNearWhite, this);
    cmdEnde_->setAccessibleName(QStringLiteral("Zurück"));
    platform::placeControl(cmdEnde_, QStringLiteral("cmd_Ende"), 6300, 5310, 1215, 405);

    setTabOrder(listView_, roCommand2_);
    setTabOrder(roCommand2_, cmdLoeschen_);
    setTabOrder(cmdLoeschen_, cmdEnde_);
}

void FrmDelFile::wireHandlers()
{
    connect(fileListe_, &FileListe::pathChanged, this, &FrmDelFile::FileListe_PathChange);
    connect(model_, &QAbstractItemModel::modelReset, this, &FrmDelFile::fitColumns);
    connect(listView_->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListView_ColumnClick(section + 1); });
    connect(roCommand2_, &RoCommand::clicked, this, &FrmDelFile::roCommand2_Click);
    connect(cmdLoeschen_, &RoCommand::clicked, this, &FrmDelFile::cmd_Löschen_Click);
    connect(cmdEnde_, &RoCommand::clicked, this, &FrmDelFile::cmd_Ende_Click);
    listView_->installEventFilter(this);
    listView_->viewport()->installEventFilter(this);
}

// The load handler: the four columns, once per load.
void FrmDelFile::Form_Load()
{
    for (const Column& c : kColumns) {
        model_->addColumn(QString::fromUtf16(c.header));
        listView_->header()->resizeSection(model_->columnCount() - 1, twipsToPixels(c.widthTwips));
    }
    syncSortIndicator();
    fitColumns();
}

void FrmDelFile::fitColumns()
{
    QHeaderView* header = listView_->header();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int others = 0;
    for (int c = 1; c < model_->columnCount() && c < int(std::size(kColumns)); ++c) {
        // These headers never carry the sort marker.
        const QString title = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int width = std::max({twipsToPixels(kColumns[c].widthTwips),
                                    header->fontMetrics().horizontalAdvance(title) + 2 * margin + 2,
                                    static_cast<QAbstractItemView*>(listView_)->sizeHintForColumn(c)});
        header->resizeSection(c, width);
        others += width;
    }
    header->resizeSection(
        0, std::max(twipsToPixels(kColumns[0].widthTwips), listView_->viewport()->width() - others));
}

void FrmDelFile::FileListe_PathChange()
{
    model_->clearRows();
    setWindowTitle(QStringLiteral("gefundene Files: ") + QString::number(fileListe_->count()));
    model_->setRows(FileRow::readAll(fileListe_->folderFd(), fileListe_->path(), fileListe_->entries()));
}

QByteArray FrmDelFile::fullPath(const QByteArray& rawName) const
{
    return fileListe_->fullPath(rawName);
}

void FrmDelFile::ListView_ColumnClick(int column)
{
    if (column == 1) {
        const Qt::SortOrder now = model_->sortOrder();
        model_->setSortOrder(now == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    syncSortIndicator();
}

void FrmDelFile::syncSortIndicator()
{
    listView_->header()->setSortIndicator(0, model_->sortOrder());
}

qint64 FrmDelFile::selectedRow() const
{
    const QModelIndexList rows = listView_->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row();
    const QModelIndex current = listView_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void FrmDelFile::ListView_DblClick()
{
    if (model_->rowCount() == 0)
        return;
    const FileRow* row = model_->rowAt(selectedRow());
    if (!row)
        return;
    const QByteArray file = fullPath(row->rawName);
    const int answer = MsgBox(QStringLiteral("Datei öffnen oder Informationen aufrufen?\r"
                                             "Ja = Datei öffnen,\r"
                                             "Nein = Eigenschaften zeigen,\r"
                                             "Abbruch = Abbruch"),
                              platform::kBoxQuestionYesNoCancel, QString(), this);
    if (answer == kYes)
        openFile(file);
    else if (answer == kNo)
        properties_(this, file);
}

void FrmDelFile::openFile(const QByteArray& file)
{
    QString failure;
    switch (opener_(file, fileListe_->path())) {
    case platform::FileOpener::FileNotFound: failure = QStringLiteral("Datei wurde nicht gefunden"); break;
    case platform::FileOpener::PathNotFound: failure = QStringLiteral("Pfad wurde nicht gefunden"); break;
    case platform::FileOpener::NoAssociation:
        failure = QStringLiteral("Dateisuffix ist Unbekannt bzw. nicht Registriert.");
        break;
    default: return;
    }
    MsgBox(failure, platform::kBoxInfo, QStringLiteral("Fehler"), this);
}

void FrmDelFile::cmd_Löschen_Click()
{
    if (model_->rowCount() == 0) {
        MsgBox(QStringLiteral("Keine Datei vorhanden."), platform::kBoxInfo, QString(), this);
        return;
    }
    if (MsgBox(QStringLiteral("Markierten Datei(en) entgültig löschen?"), platform::kBoxQuestionNoDefault,
               QString(), this) != kYes)
        return;
    DeleteRequest request;
    request.target = DeleteTarget::ListedFiles;
    request.owner = this;
    request.options.showProgress = true;
    request.options.showFileNames = true;
    request.folder = fileListe_->path();
    request.folderFd = fileListe_->folderFd();
    for (qint64 r = 0; r < model_->rowCount(); ++r) {
        if (model_->isChecked(r)) {
            const FileRow* row = model_->rowAt(r);
            request.files.push_back({row->rawName.toStdString(), row->facts});
        }
    }
    // Every marked file is counted by what happened to it, not by rows.
    const qint64 failed = request.files.empty() ? 0 : Ordner_löschen(request).failedFiles();
    fileListe_->refresh();
    FileListe_PathChange();
    if (failed == 0) {
        MsgBox(QStringLiteral("Löschung erfolgreich."), platform::kBoxInfo, QString(), this);
        return;
    }
    MsgBox(QStringLiteral("Löschung bei ") + QString::number(failed) +
               QStringLiteral(" Datei(e)n fehlgeschlagen."),
           platform::kBoxStop, QString(), this);
}

void FrmDelFile::roCommand2_Click()
{
    model_->checkAll();
}

void FrmDelFile::cmd_Ende_Click()
{
    hide();
}

// The unload handler: hides the window; the close goes on.
void FrmDelFile::closeEvent(QCloseEvent* event)
{
    hide();
    event->accept();
}

void FrmDelFile::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Every opening starts in the list, whichever control had the focus the
    // last time (after a deletion: the red button).
    listView_->setFocus(Qt::OtherFocusReason);
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool FrmDelFile::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == listView_->viewport() && event->type() == QEvent::Resize)
        QMetaObject::invokeMethod(this, &FrmDelFile::fitColumns, Qt::QueuedConnection);
    if (watched == listView_->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ListView_DblClick();
        return true;
    }
    if (watched == listView_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListView_DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace velmaro
