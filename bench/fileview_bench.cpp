// File view benchmark: a folder of 100,000 files listed in the view, and
// 10,000 marked files deleted through the view's delete button (each with
// the deletion routine's progress window). Prints milliseconds per step.
// Usage: fileview_bench [files] [marked] [folder-to-create-in]
// With VELMARO_BENCH_COLD=1 (as root) the page cache is dropped before each
// listing step, so the reads come from the disk.

#include "controls/RoCommand.h"
#include "engine/SafeDelete.h"
#include "fileview/FileListModel.h"
#include "fileview/FileListe.h"
#include "fileview/FrmDelFile.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

using namespace velmaro;

namespace {

// Names of varied length and case, some hidden, some with umlauts.
QByteArray nameOf(int i)
{
    static const char* const stems[] = {"Bericht", "foto",   ".konfig", "Übersicht", "daten",
                                        "-strich", "Zahlen", "äpfel",   "log",       "Sicherung"};
    return QByteArray(stems[i % 10]) + '_' + QByteArray::number(i * 7919 % 1000003) + ".dat";
}

bool makeFiles(const QByteArray& folder, int count)
{
    for (int i = 0; i < count; ++i) {
        const int fd = ::open((folder + nameOf(i)).constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0)
            return false;
        if (i % 3 == 0 && ::write(fd, "0123456789", 10) != 10) {
            ::close(fd);
            return false;
        }
        ::close(fd);
    }
    return true;
}

void dropCachesIfCold()
{
    if (qEnvironmentVariableIntValue("VELMARO_BENCH_COLD") != 1)
        return;
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (!drop.open(QIODevice::WriteOnly) || drop.write("3\n") != 2)
        std::fprintf(stderr, "cannot drop the page cache (not root?)\n");
}

void report(const char* step, QElapsedTimer& timer)
{
    std::printf("%-52s %8lld ms\n", step, static_cast<long long>(timer.restart()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int marked = argc > 2 ? std::atoi(argv[2]) : 10000;
    QTemporaryDir temp(argc > 3 ? QString::fromLocal8Bit(argv[3]) + "/fileview_bench-XXXXXX" : QString());
    const QByteArray folder = QFile::encodeName(temp.path()) + '/';
    QElapsedTimer timer;
    timer.start();
    if (!temp.isValid() || !makeFiles(folder, files)) {
        std::fprintf(stderr, "cannot create the files in %s\n", folder.constData());
        return 1;
    }
    std::printf("files: %d, marked: %d, folder: %s\n", files, marked, folder.constData());
    report("create the files", timer);

    dropCachesIfCold();
    timer.restart();
    FileListe alone;
    alone.setPath(folder);
    report("FileListe read + sort (alone)", timer);

    FrmDelFile view;
    report("load the window", timer);
    dropCachesIfCold();
    timer.restart();
    view.fileListe().setPath(folder);  // read + sort, then the listing through pathChanged
    report("setPath: read + sort + listing", timer);
    view.FileListe_PathChange();
    report("FileListe_PathChange again (explicit call)", timer);
    view.show();
    QApplication::processEvents();
    view.ListView()->viewport()->repaint();
    report("show and paint the first screen", timer);

    platform::MsgBoxScript boxes;
    boxes.answer(6);
    const int step = qMax(1, view.listModel()->rowCount() / qMax(1, marked));
    for (int r = 0, n = 0; r < view.listModel()->rowCount() && n < marked; r += step, ++n)
        view.listModel()->setChecked(r, true);
    report("mark the rows", timer);
    view.cmd_Löschen()->click();
    report("delete the marked files (incl. relisting)", timer);
    const QString last = boxes.calls().isEmpty() ? QString() : boxes.calls().last().prompt;
    std::printf("after: %d rows, %s; message: %s\n", view.listModel()->rowCount(),
                qPrintable(view.windowTitle()), qPrintable(last));
    engine::deleteTree(folder.toStdString());
    return 0;
}
