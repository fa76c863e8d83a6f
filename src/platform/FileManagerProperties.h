#pragma once
// The desktop file manager's properties window, asked for over the D-Bus
// session bus: org.freedesktop.FileManager1 at /org/freedesktop/FileManager1,
// method ShowItemProperties(as uris, s startupId).
//
//  - available(): the name has an owner or can be started by the bus
//    (activatable). Asks the bus daemon only, with a short timeout; false
//    without a session bus.
//  - request(): when available, sends the call asynchronously and returns
//    true at once; the reply is not waited for. When the call fails later
//    (error reply, or no reply within the reply timeout) `onFailure` runs on
//    the calling thread, unless `context` has been destroyed by then.
//    Returns false, sending nothing, when no file manager is available.
//  - The URI is built from the raw bytes of the path ("file://" + the bytes
//    percent-encoded, "/" kept), so names that are not UTF-8 or hold control
//    characters reach the file manager unchanged. A trailing "/" is dropped
//    (except for the root).

#include <QByteArray>
#include <QString>
#include <functional>

class QObject;

namespace velmaro::platform {

class FileManagerProperties {
public:
    static constexpr int kDaemonTimeoutMs = 1000;
    static constexpr int kReplyTimeoutMs = 8000;

    static bool available();
    static bool request(const QByteArray& rawPath, QObject* context, std::function<void()> onFailure);

    static QString fileUri(const QByteArray& rawPath);
    // "velmaro-<pid>-<seconds>_TIME<milliseconds>": a fresh startup id.
    static QString startupId();
};

}  // namespace velmaro::platform
