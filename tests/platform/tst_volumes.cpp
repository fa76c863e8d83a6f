// Drives from the mount table: parsing, filtering, the drive of a path, and
// the readability probe.

#include "platform/Volumes.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

using velmaro::platform::Volumes;

namespace {

// A mount table as a container with a few real and many pseudo mounts shows it.
const QByteArray kSample = "22 1 0:21 / /proc rw,relatime - proc proc rw\n"
                           "23 1 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
                           "24 1 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,size=123k\n"
                           "26 24 0:24 / /dev/pts rw,relatime - devpts devpts rw,mode=600\n"
                           "1 0 0:40 / / rw,relatime master:1 - overlay overlay rw,lowerdir=/a:/b\n"
                           "31 23 0:28 / /sys/fs/cgroup rw,relatime - cgroup2 cgroup2 rw\n"
                           "40 1 8:1 / /home rw,relatime shared:2 master:3 - ext4 /dev/sda1 rw\n"
                           "41 1 8:17 / /media/usb\\040stick rw,nosuid - vfat /dev/sdb1 rw,fmask=0022\n"
                           "42 1 0:50 / /mnt/server rw - nfs4 server:/export rw,vers=4.2\n"
                           "43 1 0:51 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                           "44 43 0:52 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
                           "45 1 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
                           "46 1 0:53 / /mnt/remote rw - fuse.sshfs me@host:/ rw\n"
                           "47 1 8:2 / /data rw - xfs /dev/sda2 rw\n"
                           "48 1 0:54 / /data rw - tmpfs tmpfs rw\n"  // mounted over /data: covers it
                           "49 1 8:3 / /boot/efi rw - vfat /dev/sda3 rw\n"
                           "51 1 0:55 / /net rw - autofs systemd-1 rw\n"
                           "this line is garbage\n"
                           "50 1 8:4 / /no/dash rw ext4 /dev/sda4 rw\n"
                           "\n";

std::atomic<bool> released{false};
std::atomic<bool> listerDone{false};

// Stands for a folder on a dead network mount: does not return until released.
bool hangingLister(const QByteArray&)
{
    while (!released)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    listerDone = true;
    return true;
}

}  // namespace

class TestVolumes : public QObject {
    Q_OBJECT
private slots:
    void parsesAndFiltersMounts()
    {
        const QList<Volumes::Mount> mounts = Volumes::parseMountInfo(kSample);
        QCOMPARE(mounts.size(), 17);  // the two malformed lines are skipped
        QCOMPARE(mounts.at(0).type, QStringLiteral("proc"));
        const Volumes::Mount& home = mounts.at(6);  // two optional fields before "-"
        QCOMPARE(home.mountPoint + '|' + home.type + '|' + home.source,
                 QStringLiteral("/home|ext4|/dev/sda1"));
        QCOMPARE(mounts.at(7).mountPoint, QStringLiteral("/media/usb stick"));
        QCOMPARE(mounts.at(8).source, QStringLiteral("server:/export"));
        QCOMPARE(Volumes::drivesOf(mounts),
                 QStringList({"/", "/boot/efi", "/home", "/media/usb stick", "/mnt/remote", "/mnt/server"}));
        // Without any line for "/" the root is still a drive.
        QCOMPARE(Volumes::drivesOf({}), QStringList({"/"}));
    }

    void driveOfPath()
    {
        const QStringList drives{"/", "/home", "/home/user/usb", "/media/usb stick"};
        // Below a mount, a nested mount, the mount point with and without "/", not a prefix
        // by name, a blank in the name, the root.
        const std::pair<const char*, const char*> cases[] = {{"/home/user/x/", "/home"},
                                                             {"/home/user/usb/a/b/", "/home/user/usb"},
                                                             {"/home", "/home"},
                                                             {"/home/", "/home"},
                                                             {"/homework/x", "/"},
                                                             {"/media/usb stick/Bilder/", "/media/usb stick"},
                                                             {"/", "/"}};
        for (const auto& [path, drive] : cases) {
            QCOMPARE(Volumes::driveOf(path, drives), QString::fromUtf8(drive));
            QCOMPARE(Volumes::driveOf(path, {}), QStringLiteral("/"));
        }
    }

    void realMountsAndReadableProbe()
    {
        const QStringList drives = Volumes::drives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first(), QStringLiteral("/"));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(Volumes::isReadable(dir.path()));
        QVERIFY(!Volumes::isReadable(dir.path() + "/fehlt"));
        QFile file(dir.path() + "/datei");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!Volumes::isReadable(file.fileName()));  // a file is no folder
    }

    void hungMountTimesOut()
    {
        Volumes::setLister(&hangingLister);
        QElapsedTimer clock;
        clock.start();
        const bool readable = Volumes::isReadable("/mnt/tot", 300);
        const qint64 waited = clock.elapsed();
        Volumes::setLister(nullptr);
        released = true;
        QVERIFY(!readable);
        QVERIFY2(waited >= 250 && waited < 3000, qPrintable(QString::number(waited)));
        QTRY_VERIFY(listerDone.load());     // the abandoned probe ends on its own
        QVERIFY(Volumes::isReadable("/"));  // the real listing again
    }
};

VELMARO_TEST_CLASS(TestVolumes);
#include "tst_volumes.moc"
