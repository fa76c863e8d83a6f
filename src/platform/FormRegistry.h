#pragma once
// The program's windows: one instance each, application-wide, reached by name.
//
// Names: "Velmaro" (main window), "BitteWarten", "frm_DelFile", "Copyright",
// "frm_Übersicht" (the map).
// - load(): creates the window from its factory if it is not loaded (its
//   constructor is the load event) and returns it.
// - showModal(): loads, then shows application-modal and returns when the
//   window is hidden or unloaded (QDialog::exec for dialogs).
// - hide(): hides, stays loaded.  unload(): closes and destroys; the window's
//   close handling runs; a window being unloaded is not unloaded twice.
// - loaded(): names of loaded windows in load order.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>

namespace velmaro::platform {

class FormRegistry {
public:
    using Factory = std::function<QWidget*()>;

    void registerForm(const QString& name, Factory factory);
    QWidget* load(const QString& name);
    template <class T>
    T* load(const QString& name)
    {
        return qobject_cast<T*>(load(name));
    }
    QWidget* find(const QString& name) const;  // nullptr when not loaded
    template <class T>
    T* find(const QString& name) const
    {
        return qobject_cast<T*>(find(name));
    }
    bool isLoaded(const QString& name) const { return find(name) != nullptr; }
    void showModal(const QString& name);
    void hide(const QString& name);
    void unload(const QString& name);
    // Unloads `window` when it is the loaded window of a name; returns false
    // (and does nothing) for any other window.
    bool unload(QWidget* window);
    QStringList loaded() const;

private:
    struct Entry {
        Factory factory;
        QPointer<QWidget> window;
        bool unloading = false;
        quint64 order = 0;
    };
    std::map<QString, Entry> forms_;
    quint64 nextOrder_ = 0;
};

FormRegistry& forms();

// Unloads every loaded window, in load order.
void Alle_Fenster_schliessen();

}  // namespace velmaro::platform
