#include "platform/FormRegistry.h"

#include "platform/ModalLoop.h"

#include <QDialog>
#include <algorithm>
#include <vector>

namespace velmaro::platform {

void FormRegistry::registerForm(const QString& name, Factory factory)
{
    forms_[name].factory = std::move(factory);
}

QWidget* FormRegistry::load(const QString& name)
{
    auto it = forms_.find(name);
    if (it == forms_.end())
        return nullptr;
    if (it->second.window)
        return it->second.window;
    if (!it->second.factory)
        return nullptr;
    // The factory may load other windows; std::map keeps `it` valid.
    QWidget* window = it->second.factory();
    if (!window)
        return nullptr;
    if (window->objectName().isEmpty())
        window->setObjectName(name);
    it->second.window = window;
    it->second.unloading = false;
    it->second.order = nextOrder_++;
    return window;
}

QWidget* FormRegistry::find(const QString& name) const
{
    auto it = forms_.find(name);
    return it == forms_.end() ? nullptr : it->second.window.data();
}

void FormRegistry::showModal(const QString& name)
{
    QWidget* window = load(name);
    if (!window)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->exec();
        return;
    }
    ModalLoop::run(window);
}

void FormRegistry::hide(const QString& name)
{
    if (QWidget* window = find(name))
        window->hide();
}

void FormRegistry::unload(const QString& name)
{
    auto it = forms_.find(name);
    if (it == forms_.end() || !it->second.window || it->second.unloading)
        return;
    it->second.unloading = true;
    QPointer<QWidget> window = it->second.window;
    // close() runs the window's close handling once (Qt ignores a nested
    // close() of a window that is closing already); the unload proceeds even
    // when the handler ignores the event.
    window->close();
    if (window) {
        window->hide();
        // Later: the caller may be running inside one of the window's own handlers.
        window->deleteLater();
    }
    it->second.window = nullptr;
    it->second.unloading = false;
}

bool FormRegistry::unload(QWidget* window)
{
    for (const auto& [name, entry] : forms_) {
        if (window && entry.window == window) {
            unload(name);
            return true;
        }
    }
    return false;
}

QStringList FormRegistry::loaded() const
{
    std::vector<std::pair<quint64, QString>> entries;
    for (const auto& [name, entry] : forms_) {
        if (entry.window)
            entries.emplace_back(entry.order, name);
    }
    std::sort(entries.begin(), entries.end());
    QStringList names;
    for (const auto& entry : entries)
        names.append(entry.second);
    return names;
}

FormRegistry& forms()
{
    static FormRegistry registry;
    return registry;
}

void Alle_Fenster_schliessen()
{
    const QStringList names = forms().loaded();
    for (const QString& name : names)
        forms().unload(name);
}

}  // namespace velmaro::platform
