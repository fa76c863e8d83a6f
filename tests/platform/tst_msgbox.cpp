// The message box: style numbers, a real box's buttons and texts, scripting.

#include "platform/MsgBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace velmaro::platform;

namespace {

// What a shown box looked like.
struct Seen {
    QString title;
    QString text;
    QString objectName;
    QString accessibleName;
    QStringList buttons;      // texts, sorted
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
};

// Waits for the message box to appear, records it, then runs `act` on it.
void whenBoxShows(Seen* seen, std::function<void(QMessageBox*)> act)
{
    QTimer::singleShot(10, [seen, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            whenBoxShows(seen, act);
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->objectName = box->objectName();
        seen->accessibleName = box->accessibleName();
        for (QAbstractButton* b : box->buttons())
            seen->buttons.append(b->text());
        seen->buttons.sort();
        seen->defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen->icon = box->icon();
        seen->modality = box->windowModality();
        act(box);
    });
}

QAbstractButton* buttonWithText(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

}  // namespace

class TestMsgBox : public QObject {
    Q_OBJECT
private slots:
    void styleMeaning_data();
    void styleMeaning();
    void realBox_data();
    void realBox();
    void escapeAnswer_data();
    void escapeAnswer();
    void textTitleAndNames();
    void insideModalDialog();
    void scriptRecordsAndAnswers();
};

void TestMsgBox::styleMeaning_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("defaultAnswer");
    QTest::addColumn<int>("icon");
    QTest::newRow("0") << 0 << QList<int>{1} << 1 << int(QMessageBox::NoIcon);
    QTest::newRow("16") << 16 << QList<int>{1} << 1 << int(QMessageBox::Critical);
    QTest::newRow("20") << 20 << QList<int>{6, 7} << 6 << int(QMessageBox::Critical);
    QTest::newRow("35") << 35 << QList<int>{6, 7, 2} << 6 << int(QMessageBox::Question);
    QTest::newRow("64") << 64 << QList<int>{1} << 1 << int(QMessageBox::Information);
    QTest::newRow("68") << 68 << QList<int>{6, 7} << 6 << int(QMessageBox::Information);
    QTest::newRow("292") << 292 << QList<int>{6, 7} << 7 << int(QMessageBox::Question);
}

void TestMsgBox::styleMeaning()
{
    QFETCH(int, style);
    QFETCH(QList<int>, answers);
    QFETCH(int, defaultAnswer);
    QFETCH(int, icon);
    const MsgBoxStyle meaning = msgBoxStyle(style);
    QCOMPARE(meaning.answers, answers);
    QCOMPARE(meaning.defaultAnswer, defaultAnswer);
    QCOMPARE(meaning.icon, icon);
}

void TestMsgBox::realBox_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<int>("defaultAnswer");
    QTest::addColumn<int>("icon");
    QTest::newRow("0") << 0 << QStringList{"OK"} << "OK" << 1 << int(QMessageBox::NoIcon);
    QTest::newRow("16") << 16 << QStringList{"OK"} << "OK" << 1 << int(QMessageBox::Critical);
    QTest::newRow("20") << 20 << QStringList{"Ja", "Nein"} << "Ja" << 6 << int(QMessageBox::Critical);
    QTest::newRow("35") << 35 << QStringList{"Abbrechen", "Ja", "Nein"} << "Ja" << 6
                        << int(QMessageBox::Question);
    QTest::newRow("64") << 64 << QStringList{"OK"} << "OK" << 1 << int(QMessageBox::Information);
    QTest::newRow("68") << 68 << QStringList{"Ja", "Nein"} << "Ja" << 6 << int(QMessageBox::Information);
    QTest::newRow("292") << 292 << QStringList{"Ja", "Nein"} << "Nein" << 7 << int(QMessageBox::Question);
}

// A real box (offscreen): German buttons, icon, default button; clicking
// the default button answers its code.
void TestMsgBox::realBox()
{
    QFETCH(int, style);
    QFETCH(QStringList, buttons);
    QFETCH(QString, defaultButton);
    QFETCH(int, defaultAnswer);
    QFETCH(int, icon);
    Seen seen;
    whenBoxShows(&seen, [](QMessageBox* box) { box->defaultButton()->click(); });
    const int answer = MsgBox(QStringLiteral("Frage?"), style);
    QCOMPARE(seen.buttons, buttons);
    QCOMPARE(seen.defaultButton, defaultButton);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(answer, defaultAnswer);
}

void TestMsgBox::escapeAnswer_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK only") << 64 << 1;
    QTest::newRow("Yes/No/Cancel") << 35 << 2;
    QTest::newRow("Yes/No") << 20 << 7;
    QTest::newRow("Yes/No, No default") << 292 << 7;
}

void TestMsgBox::escapeAnswer()
{
    QFETCH(int, style);
    QFETCH(int, answer);
    Seen seen;
    whenBoxShows(&seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(MsgBox(QStringLiteral("Weg?"), style, QStringLiteral("T")), answer);
}

void TestMsgBox::textTitleAndNames()
{
    Seen seen;
    whenBoxShows(&seen, [](QMessageBox* box) { buttonWithText(box, QStringLiteral("Nein"))->click(); });
    QCOMPARE(MsgBox(QStringLiteral("Erste Zeile\rzweite Zeile"), 35), 7);
    QCOMPARE(seen.text, QStringLiteral("Erste Zeile\nzweite Zeile"));
    QCOMPARE(seen.title, QStringLiteral("Velmaro"));
    QCOMPARE(seen.accessibleName, QStringLiteral("Velmaro"));
    QCOMPARE(seen.objectName, QStringLiteral("MsgBox"));

    Seen titled;
    whenBoxShows(&titled, [](QMessageBox* box) { buttonWithText(box, QStringLiteral("Abbrechen"))->click(); });
    QCOMPARE(MsgBox(QStringLiteral("a\r\rb"), 35, QStringLiteral("Löschen")), 2);
    QCOMPARE(titled.text, QStringLiteral("a\n\nb"));
    QCOMPARE(titled.title, QStringLiteral("Löschen"));
    QCOMPARE(titled.accessibleName, QStringLiteral("Löschen"));
}

// A box raised from inside a modal dialog works and returns to the dialog.
void TestMsgBox::insideModalDialog()
{
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    int answer = 0;
    Seen seen;
    QTimer::singleShot(10, &dialog, [&] {
        whenBoxShows(&seen, [](QMessageBox* box) { buttonWithText(box, QStringLiteral("Ja"))->click(); });
        answer = MsgBox(QStringLiteral("Innen"), 292, QString(), &dialog);
        dialog.accept();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(answer, 6);
    QCOMPARE(seen.defaultButton, QStringLiteral("Nein"));
}

void TestMsgBox::scriptRecordsAndAnswers()
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
        QCOMPARE(script.calls().size(), 4);
        QCOMPARE(script.calls().at(0).prompt, QStringLiteral("eins\rzwei"));
        QCOMPARE(script.calls().at(0).style, 35);
        QCOMPARE(script.calls().at(0).title, QStringLiteral("T"));
        QVERIFY(script.calls().at(1).title.isEmpty());
        QCOMPARE(script.calls().at(2).style, 292);
        script.clear();
        QVERIFY(script.calls().isEmpty());
    }
    // Scripting ends with the script object: a real box again.
    Seen seen;
    whenBoxShows(&seen, [](QMessageBox* box) { box->defaultButton()->click(); });
    QCOMPARE(MsgBox(QStringLiteral("echt"), 0), 1);
    QCOMPARE(seen.text, QStringLiteral("echt"));
}

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
