#pragma once
// The About window "Copyright": the version strip, the title twice (relief),
// the program's icon, the holder line with the current year, a web and a
// mail link, a separator, the logo and "Okay".
//
// - Fixed size (client 3585 x 1995 twips), no title text, no window icon
//   (a clear one, so that the program's does not show), no minimize or
//   maximize box; centred on the screen.
// - Form_Initialize() fills every text and the icon; it runs when the window
//   is created and again whenever it is shown or becomes the active window,
//   so a new year shows when the window is opened again.
// - "Okay" unloads the window (through the window registry when the window
//   is registered there, otherwise it closes and deletes itself).

#include <QDate>
#include <QDialog>
#include <QString>

class QLabel;

namespace velmaro {

class RoCommand;
class RoLabel;
class VersionStrip;

class Copyright : public QDialog {
    Q_OBJECT
public:
    explicit Copyright(QWidget* parent = nullptr);

    // " Version " + major + ".0" + minor + ".0" + patch (decimal, no padding):
    // (1, 1, 0) -> " Version 1.01.00", (1, 10, 0) -> " Version 1.010.00".
    static QString versionText(int major, int minor, int patch);
    // The version line of this build.
    static QString programVersionText();
    // "© <year> Velmaro-Team".
    static QString holderLine(int year);
    // The date the holder line is built from; nullptr restores today's date.
    using DateSource = QDate (*)();
    static void setDateSource(DateSource source);

    void Form_Initialize();
    // Escape and the close box: the same as "Okay".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void buildTitle();
    void buildLinks();
    void onOkay();

    VersionStrip* strip_ = nullptr;
    QLabel* titel_[2] = {nullptr, nullptr};
    QLabel* image1_ = nullptr;
    QLabel* txtName_ = nullptr;
    RoLabel* web_ = nullptr;
    RoLabel* mail_ = nullptr;
    RoCommand* cmdOK_ = nullptr;
};

}  // namespace velmaro
