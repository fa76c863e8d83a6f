// The window registry: load order, unload once, nested close-all, modal shows.

#include "platform/FormRegistry.h"
#include "support/TestSupport.h"

#include <QCloseEvent>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <map>

using namespace velmaro::platform;
using velmaro::testsupport::flushDeletes;

namespace {

std::map<QString, int> closes;  // close handling runs per window name

// A window that counts its close handling and may run extra code in it.
template <class Base>
class Window : public Base {
public:
    explicit Window(QString name, std::function<void()> onClose = {})
        : name_(std::move(name))
        , onClose_(std::move(onClose))
    {}

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

}  // namespace

class TestFormRegistry : public QObject {
    Q_OBJECT
    std::map<QString, int> created_;
    void registerPlain(const QString& name, std::function<void()> onClose = {})
    {
        forms().registerForm(name, [this, name, onClose] {
            ++created_[name];
            return new Window<QWidget>(name, onClose);
        });
    }

private slots:
    void init()
    {
        closes.clear();
        created_.clear();
    }

    void cleanup()
    {
        Alle_Fenster_schliessen();
        flushDeletes();
        QVERIFY(forms().loaded().isEmpty());
    }

    void loadsOnceInLoadOrder()
    {
        registerPlain("Velmaro");
        registerPlain("Copyright");
        registerPlain("BitteWarten");
        QCOMPARE(forms().find("Velmaro"), nullptr);
        QWidget* copyright = forms().load("Copyright");
        QWidget* main = forms().load("Velmaro");
        QVERIFY(copyright && main);
        QCOMPARE(forms().load("Copyright"), copyright);  // once
        QCOMPARE(created_["Copyright"], 1);
        QCOMPARE(copyright->objectName(), QStringLiteral("Copyright"));
        forms().load("BitteWarten");
        QCOMPARE(forms().loaded(), QStringList({"Copyright", "Velmaro", "BitteWarten"}));
        QCOMPARE(forms().load("unbekannt"), nullptr);
        // Hidden windows stay loaded.
        forms().hide("Copyright");
        QVERIFY(forms().isLoaded("Copyright"));
    }

    void unloadRunsCloseOnceAndDestroys()
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
    // its shutdown does; every window is still closed exactly once, whether
    // the routine or the main window's close box starts it.
    void nestedCloseAllUnloadsEachOnce()
    {
        for (bool closeBox : {false, true}) {
            closes.clear();
            registerPlain("Velmaro", [] { Alle_Fenster_schliessen(); });
            registerPlain("frm_DelFile");
            registerPlain("Copyright");
            QPointer<QWidget> main = forms().load("Velmaro");
            main->show();
            forms().load("frm_DelFile");  // loaded, never shown (hidden)
            forms().load("Copyright")->show();
            if (closeBox)
                main->close();
            else
                Alle_Fenster_schliessen();
            for (const char* name : {"Velmaro", "frm_DelFile", "Copyright"})
                QCOMPARE(closes[name], 1);
            QVERIFY(forms().loaded().isEmpty());
            flushDeletes();
            QVERIFY(main.isNull());
        }
    }

    void selfDeletingWindow()
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

    void showModalReturnsWhenHiddenOrUnloaded_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("dialog") << true;
        QTest::newRow("plain window") << false;
    }

    // Shown application-modal; the call returns when the window is hidden
    // (still loaded), unloaded or (a plain window) deleted.
    void showModalReturnsWhenHiddenOrUnloaded()
    {
        QFETCH(bool, dialog);
        const QString name = QStringLiteral("BitteWarten");
        if (dialog)
            forms().registerForm(name, [name] { return new Window<QDialog>(name); });
        else
            registerPlain(name);
        bool wasModal = false;
        QTimer::singleShot(20, [&] {
            QWidget* window = forms().find(name);
            wasModal = window->isVisible() && window->windowModality() == Qt::ApplicationModal &&
                       QApplication::activeModalWidget() == window;
            forms().hide(name);
        });
        forms().showModal(name);
        QVERIFY(wasModal);
        QVERIFY(forms().isLoaded(name));
        QVERIFY(!forms().find(name)->isVisible());

        QTimer::singleShot(20, [name] { forms().unload(name); });
        forms().showModal(name);
        QVERIFY(!forms().isLoaded(name));
        QCOMPARE(closes[name], 1);

        if (!dialog) {
            QTimer::singleShot(20, [name] { delete forms().find(name); });
            forms().showModal(name);
            QVERIFY(!forms().isLoaded(name));
        }
    }
};

VELMARO_TEST_CLASS(TestFormRegistry);
#include "tst_formregistry.moc"
