#include "platform/FileManagerProperties.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QStringList>

#include <unistd.h>

namespace velmaro::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");

// One call to the bus daemon itself; an invalid message on failure.
QDBusMessage askDaemon(QDBusConnection& bus, const QString& method, const QVariantList& args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus"), method);
    call.setArguments(args);
    return bus.call(call, QDBus::Block, FileManagerProperties::kDaemonTimeoutMs);
}

bool firstArgIsTrue(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toBool();
}

bool listContains(const QDBusMessage& reply, const QString& name)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toStringList().contains(name);
}

}  // namespace

bool FileManagerProperties::available()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (firstArgIsTrue(askDaemon(bus, QStringLiteral("NameHasOwner"), {kService})))
        return true;
    return listContains(askDaemon(bus, QStringLiteral("ListActivatableNames"), {}), kService);
}

bool FileManagerProperties::request(const QByteArray& rawPath, QObject* context,
                                    std::function<void()> onFailure)
{
    if (!available())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("ShowItemProperties"));
    call << QStringList{fileUri(rawPath)} << startupId();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusPendingCall pending = bus.asyncCall(call, kReplyTimeoutMs);
    QObject* owner = context ? context : QCoreApplication::instance();
    auto* watcher = new QDBusPendingCallWatcher(pending, owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner,
                     [onFailure = std::move(onFailure)](QDBusPendingCallWatcher* done) {
                         const bool failed = done->isError();
                         done->deleteLater();
                         if (failed && onFailure)
                             onFailure();
                     });
    return true;
}

QString FileManagerProperties::fileUri(const QByteArray& rawPath)
{
    QByteArray path = rawPath;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return QStringLiteral("file://") + QString::fromLatin1(path.toPercentEncoding("/"));
}

QString FileManagerProperties::startupId()
{
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    return QStringLiteral("velmaro-%1-%2_TIME%3").arg(qint64(::getpid())).arg(ms / 1000).arg(ms & 0x7fffffff);
}

}  // namespace velmaro::platform
