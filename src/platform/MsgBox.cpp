#include "platform/MsgBox.h"

#include "platform/Fonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace velmaro::platform {

namespace {

// Scripting state: active while at least one MsgBoxScript lives.
struct ScriptState {
    int active = 0;
    QList<int> queue;
    QList<MsgBoxCall> calls;
};

ScriptState& script()
{
    static ScriptState state;
    return state;
}

QList<int> buttonsOf(int style)
{
    switch (style & 0x7) {
    case 1: return {kOk, kCancel};
    case 3: return {kYes, kNo, kCancel};
    case 4: return {kYes, kNo};
    default: return {kOk};
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

QString msgBoxButtonText(int answer)
{
    switch (answer) {
    case kCancel: return QStringLiteral("&Abbrechen");
    case kYes: return QStringLiteral("&Ja");
    case kNo: return QStringLiteral("&Nein");
    default: return QStringLiteral("OK");
    }
}

namespace {

QMessageBox::ButtonRole buttonRole(int answer)
{
    switch (answer) {
    case kCancel: return QMessageBox::RejectRole;
    case kYes: return QMessageBox::YesRole;
    case kNo: return QMessageBox::NoRole;
    default: return QMessageBox::AcceptRole;
    }
}

// The answer that Escape (or closing the box) gives.
int escapeAnswer(const QList<int>& answers)
{
    if (answers.contains(kCancel))
        return kCancel;
    if (answers.contains(kNo))
        return kNo;
    return answers.first();
}

QString displayText(QString prompt)
{
    prompt.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    prompt.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return prompt;
}

int showBox(const QString& prompt, int style, const QString& title, QWidget* parent)
{
    const MsgBoxStyle meaning = msgBoxStyle(style);
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Velmaro") : title;
    QMessageBox box(parent);
    // The scale of the program's windows, not the desktop's plain font.
    box.setFont(formFont());
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setAccessibleDescription(QStringLiteral("MsgBox"));
    box.setAccessibleName(shownTitle);
    box.setWindowTitle(shownTitle);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(prompt));
    box.setIcon(QMessageBox::Icon(meaning.icon));
    box.setWindowModality(Qt::ApplicationModal);
    QMap<QAbstractButton*, int> answerOf;
    for (int answer : meaning.answers) {
        // Plain buttons: no style icons; the access key is underlined.
        QPushButton* button = box.addButton(msgBoxButtonText(answer), buttonRole(answer));
        button->setAccessibleName(QString(msgBoxButtonText(answer)).remove(QLatin1Char('&')));
        answerOf.insert(button, answer);
        if (answer == meaning.defaultAnswer)
            box.setDefaultButton(button);
        if (answer == escapeAnswer(meaning.answers))
            box.setEscapeButton(button);
    }
    box.exec();
    return answerOf.value(box.clickedButton(), escapeAnswer(meaning.answers));
}

}  // namespace

MsgBoxStyle msgBoxStyle(int style)
{
    MsgBoxStyle meaning;
    meaning.answers = buttonsOf(style);
    const int defaultIndex = (style >> 8) & 0x3;
    meaning.defaultAnswer = meaning.answers.value(defaultIndex, meaning.answers.first());
    meaning.icon = int(iconOf(style));
    return meaning;
}

int MsgBox(const QString& prompt, int style, const QString& title, QWidget* parent)
{
    ScriptState& state = script();
    if (state.active > 0) {
        state.calls.append(MsgBoxCall{prompt, style, title});
        if (!state.queue.isEmpty())
            return state.queue.takeFirst();
        return msgBoxStyle(style).defaultAnswer;
    }
    return showBox(prompt, style, title, parent);
}

MsgBoxScript::MsgBoxScript()
{
    ScriptState& state = script();
    if (state.active++ == 0) {
        state.queue.clear();
        state.calls.clear();
    }
}

MsgBoxScript::~MsgBoxScript()
{
    ScriptState& state = script();
    if (--state.active == 0) {
        state.queue.clear();
        state.calls.clear();
    }
}

void MsgBoxScript::answer(int code)
{
    script().queue.append(code);
}

const QList<MsgBoxCall>& MsgBoxScript::calls() const
{
    return script().calls;
}

void MsgBoxScript::clear()
{
    script().queue.clear();
    script().calls.clear();
}

}  // namespace velmaro::platform
