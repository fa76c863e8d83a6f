#pragma once
// Helpers shared by the widget tests: test classes run from one main, a
// private HOME/XDG set-up, files and folders made by their raw bytes,
// message box calls as comparable texts, and folder rows like a scan produces.
#include "rows/FolderRow.h"
#include "platform/MsgBox.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace velmaro {
class FolderListModel;
class PropertiesWindow;
}

namespace velmaro::testsupport {

// The test classes of a binary built with support/TestMain.cpp, by name.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::map<QString, TestFactory>& testClasses();
bool registerTestClass(const char* name, TestFactory make);

// Points HOME, XDG_CONFIG_HOME and XDG_DATA_HOME below `base` and creates them.
void usePrivateHome(const QString& base);
// A new empty folder in the private folder (usePrivateHome() first), as a
// raw path ending in "/".
QByteArray scratchFolder();
// Removes a tree whose names may not decode (QTemporaryDir cannot).
void removeTree(const QString& path);
void flushDeletes();

bool exists(const QByteArray& raw);
void makeDir(const QByteArray& raw);
// Creates or truncates a file with `content`.
void makeFile(const QByteArray& raw, const QByteArray& content = {});
// A file of `bytes` bytes (sparse: large sizes cost no disk space).
void makeSparse(const QByteArray& raw, qint64 bytes);
void setChanged(const QByteArray& raw, const QDateTime& local);

// One message box call as "style|title|prompt", for exact list compares.
QString box(int style, const QString& title, const QString& prompt);
QStringList boxes(const platform::MsgBoxScript& script);
QStringList prompts(const platform::MsgBoxScript& script);

// The program's own properties windows that are showing now.
QList<PropertiesWindow*> propertyWindows();

// A row for the folder `raw` (ending in "/") with the identity it has now,
// as a scan would record it.
FolderRow folderRow(const QByteArray& raw, const QString& sizeText = QStringLiteral("0"),
                    bool zeroByte = false, quint64 bytes = 0);

// Adds whole rows to the list as one batch, each a detached slot named by
// its full path; a size text other than the number's stays the row's text.
void appendRows(FolderListModel& model, std::vector<FolderRow> rows);

}  // namespace velmaro::testsupport

// Registers a test class with the shared main (support/TestMain.cpp).
#define VELMARO_TEST_CLASS(Class)                                                                            \
    [[maybe_unused]] static const bool velmaroRegistered_##Class =                                           \
        ::velmaro::testsupport::registerTestClass(#Class,                                                    \
                                                  [] { return std::unique_ptr<QObject>(new Class); })
