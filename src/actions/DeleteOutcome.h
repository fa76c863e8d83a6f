#pragma once
// What one call of the deletion routine did.

#include <QByteArray>
#include <QString>
#include <vector>

namespace velmaro {

struct DeleteOutcome {
    bool ok = false;         // everything asked for is gone
    bool cancelled = false;  // the question was answered No: nothing done
    int errorNumber = 0;     // the program's error number of the first failure, 0 when ok
    QString errorText;       // its German text, empty when ok
    QByteArray failedPath;   // raw path of the first failure
    // ListedFiles: one code per requested file, 0 when it is gone.
    std::vector<int> fileErrors;

    // ListedFiles: how many of the requested files are still there.
    qint64 failedFiles() const
    {
        qint64 failed = 0;
        for (int err : fileErrors)
            failed += err != 0;
        return failed;
    }
};

}  // namespace velmaro
