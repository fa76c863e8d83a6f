#pragma once
// The one message box of the program.
//
// Style numbers (buttons + icon + default button):
//   0 OK; 16 OK + stop icon; 20 Yes/No + stop icon; 35 Yes/No/Cancel + question;
//   64 OK + information; 68 Yes/No + information; 292 Yes/No + question, No default.
// Answers: 1 OK, 2 Cancel, 6 Yes, 7 No.
// A CR (U+000D) in the prompt starts a new line. An empty title shows "Velmaro".
// Button texts are always "OK", "Ja", "Nein", "Abbrechen", without icons;
// "Ja", "Nein" and "Abbrechen" carry the access keys Alt+J, Alt+N, Alt+A.
// The box uses the form font (formFont()), the scale of the program's windows.
//
// Tests script the box with MsgBoxScript: while a script is active no box is
// shown; every call is recorded and answered from the queue (the default
// button's answer when the queue is empty).

#include <QList>
#include <QString>

class QWidget;

namespace velmaro::platform {

// The styles the program's boxes use (the classic style numbers).
enum MsgBoxStyleCode : int {
    kBoxOk = 0,                    // OK
    kBoxStop = 16,                 // OK + stop icon
    kBoxStopYesNo = 20,            // Yes/No + stop icon
    kBoxQuestionYesNoCancel = 35,  // Yes/No/Cancel + question
    kBoxInfo = 64,                 // OK + information
    kBoxInfoYesNo = 68,            // Yes/No + information
    kBoxQuestionNoDefault = 292,   // Yes/No + question, No the default
};

// The answers a box gives (the classic answer codes).
enum MsgBoxAnswer : int { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

int MsgBox(const QString& prompt, int style = 0, const QString& title = QString(), QWidget* parent = nullptr);

struct MsgBoxCall {
    QString prompt;  // as given, CR included
    int style = 0;
    QString title;  // as given (empty when none was given)
};

class MsgBoxScript {
public:
    MsgBoxScript();   // activates scripting
    ~MsgBoxScript();  // deactivates it
    MsgBoxScript(const MsgBoxScript&) = delete;
    MsgBoxScript& operator=(const MsgBoxScript&) = delete;

    void answer(int code);  // queue one answer
    const QList<MsgBoxCall>& calls() const;
    void clear();
};

// What a style number means; exposed for the box and for tests.
struct MsgBoxStyle {
    QList<int> answers;  // buttons in display order, as answer codes
    int defaultAnswer;   // answer of the default button
    int icon;            // QMessageBox::Icon value
};
MsgBoxStyle msgBoxStyle(int style);
// The caption of the button of an answer, with its access key ("&Ja").
QString msgBoxButtonText(int answer);

}  // namespace velmaro::platform
