// The message box: a real box per style number, its texts, scripting.

#include "platform/MsgBox.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace velmaro::platform;
using velmaro::testsupport::box;
using velmaro::testsupport::boxes;

namespace {

// What a shown box looked like.
struct Seen {
    QString title, text, accessibleName, defaultButton;
    QStringList buttons;  // texts as read (access-key marks left out), sorted
    QStringList keys;     // access keys, sorted ("Alt+J")
    int buttonIcons = 0;  // buttons that carry an icon
    int icon = -1;
    Qt::WindowModality modality = Qt::NonModal;
};

// Waits for the message box to appear, records it, then runs `act` on it.
void whenBoxShows(Seen* seen, std::function<void(QMessageBox*)> act)
{
    QTimer::singleShot(10, [seen, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return whenBoxShows(seen, act);
        *seen = {box->windowTitle(),
                 box->text(),
                 box->accessibleName(),
                 box->defaultButton() ? box->defaultButton()->text().remove(QLatin1Char('&')) : QString(),
                 {},
                 {},
                 0,
                 int(box->icon()),
                 box->windowModality()};
        for (QAbstractButton* b : box->buttons()) {
            seen->buttons.append(QString(b->text()).remove(QLatin1Char('&')));
            const QKeySequence key = QKeySequence::mnemonic(b->text());
            if (!key.isEmpty())
                seen->keys.append(key.toString());
            seen->buttonIcons += b->icon().isNull() ? 0 : 1;
        }
        seen->buttons.sort();
        seen->keys.sort();
        act(box);
    });
}

// Clicks the button captioned `text`.
std::function<void(QMessageBox*)> click(const QString& text)
{
    return [text](QMessageBox* box) {
        for (QAbstractButton* b : box->buttons())
            if (QString(b->text()).remove(QLatin1Char('&')) == text)
                return b->click();
    };
}

}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT
private slots:
    void styles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<int>("escapeAnswer");
        QTest::addColumn<int>("icon");
        const QStringList ok{"OK"}, yesNo{"Ja", "Nein"};
        QTest::newRow("0") << 0 << ok << "OK" << 1 << 1 << int(QMessageBox::NoIcon);
        QTest::newRow("16") << 16 << ok << "OK" << 1 << 1 << int(QMessageBox::Critical);
        QTest::newRow("20") << 20 << yesNo << "Ja" << 6 << 7 << int(QMessageBox::Critical);
        QTest::newRow("35") << 35 << QStringList{"Abbrechen", "Ja", "Nein"} << "Ja" << 6 << 2
                            << int(QMessageBox::Question);
        QTest::newRow("64") << 64 << ok << "OK" << 1 << 1 << int(QMessageBox::Information);
        QTest::newRow("68") << 68 << yesNo << "Ja" << 6 << 7 << int(QMessageBox::Information);
        QTest::newRow("292") << 292 << yesNo << "Nein" << 7 << 7 << int(QMessageBox::Question);
    }

    // A real box (offscreen) for each style: German buttons, icon, default
    // button; the default button and Escape answer.
    void styles()
    {
        QFETCH(int, style);
        QFETCH(QStringList, buttons);
        QFETCH(QString, defaultButton);
        QFETCH(int, defaultAnswer);
        QFETCH(int, escapeAnswer);
        QFETCH(int, icon);
        Seen seen;
        whenBoxShows(&seen, [](QMessageBox* box) { box->defaultButton()->click(); });
        QCOMPARE(MsgBox(QStringLiteral("Frage?"), style), defaultAnswer);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.buttonIcons, 0);
        QCOMPARE(seen.defaultButton, defaultButton);
        QCOMPARE(seen.icon, icon);
        QCOMPARE(seen.modality, Qt::ApplicationModal);

        whenBoxShows(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(MsgBox(QStringLiteral("Weg?"), style, QStringLiteral("T")), escapeAnswer);
    }

    // Alt+J, Alt+N and Alt+A press "Ja", "Nein" and "Abbrechen".
    void accessKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("Alt+J") << int(Qt::Key_J) << 6;
        QTest::newRow("Alt+N") << int(Qt::Key_N) << 7;
        QTest::newRow("Alt+A") << int(Qt::Key_A) << 2;
    }

    void accessKeys()
    {
        QFETCH(int, key);
        QFETCH(int, answer);
        Seen seen;
        whenBoxShows(&seen, [key](QMessageBox* box) { QTest::keyClick(box, Qt::Key(key), Qt::AltModifier); });
        QCOMPARE(MsgBox(QStringLiteral("Taste?"), 35), answer);
        QCOMPARE(seen.keys, (QStringList{"Alt+A", "Alt+J", "Alt+N"}));
    }

    void textTitleAndNames()
    {
        Seen seen;
        whenBoxShows(&seen, click(QStringLiteral("Nein")));
        QCOMPARE(MsgBox(QStringLiteral("Erste Zeile\r\rzweite Zeile"), 35), 7);
        QCOMPARE(seen.text, QStringLiteral("Erste Zeile\n\nzweite Zeile"));
        QCOMPARE(seen.title + '|' + seen.accessibleName, QStringLiteral("Velmaro|Velmaro"));

        whenBoxShows(&seen, click(QStringLiteral("Abbrechen")));
        QCOMPARE(MsgBox(QStringLiteral("b"), 35, QStringLiteral("Löschen")), 2);
        QCOMPARE(seen.title + '|' + seen.accessibleName, QStringLiteral("Löschen|Löschen"));
    }

    // A box raised from inside a modal dialog works and returns to the dialog.
    void insideModalDialog()
    {
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        int answer = 0;
        Seen seen;
        QTimer::singleShot(10, &dialog, [&] {
            whenBoxShows(&seen, click(QStringLiteral("Ja")));
            answer = MsgBox(QStringLiteral("Innen"), 292, QString(), &dialog);
            dialog.accept();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(answer, 6);
    }

    void scriptRecordsAndAnswers()
    {
        {
            MsgBoxScript script;
            script.answer(7);
            script.answer(2);
            QCOMPARE(MsgBox(QStringLiteral("eins\rzwei"), 35, QStringLiteral("T")), 7);
            QCOMPARE(MsgBox(QStringLiteral("drei"), 35), 2);
            // Queue empty: the default button's answer.
            QCOMPARE(MsgBox(QStringLiteral("vier"), 292), 7);
            QCOMPARE(MsgBox(QStringLiteral("fünf"), 68), 6);
            QCOMPARE(boxes(script), QStringList({box(35, "T", "eins\rzwei"), box(35, "", "drei"),
                                                 box(292, "", "vier"), box(68, "", "fünf")}));
        }
        // Scripting ends with the script object: a real box again.
        Seen seen;
        whenBoxShows(&seen, [](QMessageBox* box) { box->defaultButton()->click(); });
        QCOMPARE(MsgBox(QStringLiteral("echt"), 0), 1);
        QCOMPARE(seen.text, QStringLiteral("echt"));
    }
};

VELMARO_TEST_CLASS(TestMsgBox);
#include "tst_msgbox.moc"
