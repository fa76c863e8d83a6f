// The window registry: load order, unload once, nested close-all, modal shows.

#include "platform/FormRegistry.h"

#include <QCloseEvent>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <map>

using namespace velmaro::platform;

namespace {

std::map<QString, int> closes;  // close handling runs per window name

// A window that counts its close handling and may run extra code in it.
template <class Base>
class Window : public Base {
public:
    explicit Window(QString name, std::function<void()> onClose = {})
        : name_(std::move(name)), onClose_(std::move(onClose)) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes[name_];
        if (onClose_)
            onClose_();
        Base::closeEvent(event);
    }

private:
    QString name_;
    std::function<void()> onClose_;
};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestFormRegistry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadsOnceInLoadOrder();
    void unloadRunsCloseOnceAndDestroys();
    void nestedCloseAllUnloadsEachOnce();
    void closeBoxOfMainWindowClosesAll();
    void selfDeletingWindow();
    void showModalDialogReturnsWhenHidden();
    void showModalWidgetReturnsWhenHiddenOrUnloaded();

private:
    std::map<QString, int> created_;
    void registerPlain(const QString& name, std::function<void()> onClose = {});
};

void TestFormRegistry::registerPlain(const QString& name, std::function<void()> onClose)
{
    forms().registerForm(name, [this, name, onClose] {
        ++created_[name];
        return new Window<QWidget>(name, onClose);
    });
}

void TestFormRegistry::init()
{
    closes.clear();
    created_.clear();
}

void TestFormRegistry::cleanup()
{
    Alle_Fenster_schliessen();
    flushDeletes();
    QVERIFY(forms().loaded().isEmpty());
}

void TestFormRegistry::loadsOnceInLoadOrder()
{
    registerPlain("Velmaro");
    registerPlain("Copyright");
    registerPlain("BitteWarten");
    QVERIFY(!forms().isLoaded("Velmaro"));
    QCOMPARE(forms().find("Velmaro"), nullptr);
    QWidget* copyright = forms().load("Copyright");
    QWidget* main = forms().load("Velmaro");
    QVERIFY(copyright && main);
    QCOMPARE(forms().load("Copyright"), copyright);
    QCOMPARE(created_["Copyright"], 1);
    QCOMPARE(copyright->objectName(), QStringLiteral("Copyright"));
    forms().load("BitteWarten");
    QCOMPARE(forms().loaded(), QStringList({"Copyright", "Velmaro", "BitteWarten"}));
    QCOMPARE(forms().load("unbekannt"), nullptr);
    // Hidden windows stay loaded.
    forms().hide("Copyright");
    QVERIFY(forms().isLoaded("Copyright"));
}

void TestFormRegistry::unloadRunsCloseOnceAndDestroys()
{
    registerPlain("frm_DelFile");
    QPointer<QWidget> window = forms().load("frm_DelFile");
    window->show();
    forms().unload("frm_DelFile");
    QVERIFY(!forms().isLoaded("frm_DelFile"));
    QCOMPARE(closes["frm_DelFile"], 1);
    forms().unload("frm_DelFile");
    QCOMPARE(closes["frm_DelFile"], 1);
    flushDeletes();
    QVERIFY(window.isNull());
    // Loading again creates a new window.
    QVERIFY(forms().load("frm_DelFile"));
    QCOMPARE(created_["frm_DelFile"], 2);
}

// The main window's close handling calls the close-all routine again, as
// its shutdown does; every window is still closed exactly once.
void TestFormRegistry::nestedCloseAllUnloadsEachOnce()
{
    registerPlain("Velmaro", [] { Alle_Fenster_schliessen(); });
    registerPlain("frm_DelFile");
    registerPlain("Copyright");
    forms().load("Velmaro")->show();
    forms().load("frm_DelFile");  // loaded, never shown (hidden)
    forms().load("Copyright")->show();
    Alle_Fenster_schliessen();
    QCOMPARE(closes["Velmaro"], 1);
    QCOMPARE(closes["frm_DelFile"], 1);
    QCOMPARE(closes["Copyright"], 1);
    QVERIFY(forms().loaded().isEmpty());
}

void TestFormRegistry::closeBoxOfMainWindowClosesAll()
{
    registerPlain("Velmaro", [] { Alle_Fenster_schliessen(); });
    registerPlain("frm_DelFile");
    QPointer<QWidget> main = forms().load("Velmaro");
    main->show();
    forms().load("frm_DelFile");
    main->close();  // the close box
    QCOMPARE(closes["Velmaro"], 1);
    QCOMPARE(closes["frm_DelFile"], 1);
    QVERIFY(forms().loaded().isEmpty());
    flushDeletes();
    QVERIFY(main.isNull());
}

void TestFormRegistry::selfDeletingWindow()
{
    registerPlain("Copyright");
    QPointer<QWidget> window = forms().load("Copyright");
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->close();
    flushDeletes();
    QVERIFY(window.isNull());
    QVERIFY(!forms().isLoaded("Copyright"));
    QVERIFY(forms().loaded().isEmpty());
    forms().unload("Copyright");  // harmless
    QCOMPARE(closes["Copyright"], 1);
}

void TestFormRegistry::showModalDialogReturnsWhenHidden()
{
    forms().registerForm("Copyright", [] { return new Window<QDialog>("Copyright"); });
    Qt::WindowModality modality = Qt::NonModal;
    QTimer::singleShot(20, [&] {
        modality = forms().find("Copyright")->windowModality();
        forms().hide("Copyright");
    });
    forms().showModal("Copyright");
    QCOMPARE(modality, Qt::ApplicationModal);
    QVERIFY(forms().isLoaded("Copyright"));
    QVERIFY(!forms().find("Copyright")->isVisible());
    // Unloading from inside the modal loop ends it as well.
    QTimer::singleShot(20, [] { forms().unload("Copyright"); });
    forms().showModal("Copyright");
    QVERIFY(!forms().isLoaded("Copyright"));
}

void TestFormRegistry::showModalWidgetReturnsWhenHiddenOrUnloaded()
{
    registerPlain("BitteWarten");
    bool wasModal = false;
    QTimer::singleShot(20, [&] {
        QWidget* window = forms().find("BitteWarten");
        wasModal = window->isVisible() && window->windowModality() == Qt::ApplicationModal
            && QApplication::activeModalWidget() == window;
        forms().hide("BitteWarten");
    });
    forms().showModal("BitteWarten");
    QVERIFY(wasModal);
    QVERIFY(forms().isLoaded("BitteWarten"));

    QTimer::singleShot(20, [] { forms().unload("BitteWarten"); });
    forms().showModal("BitteWarten");
    QVERIFY(!forms().isLoaded("BitteWarten"));
    QCOMPARE(closes["BitteWarten"], 1);

    // A window deleted while shown modally ends the wait too.
    QTimer::singleShot(20, [] { delete forms().find("BitteWarten"); });
    forms().showModal("BitteWarten");
    QVERIFY(!forms().isLoaded("BitteWarten"));
}

QTEST_MAIN(TestFormRegistry)
#include "tst_formregistry.moc"
