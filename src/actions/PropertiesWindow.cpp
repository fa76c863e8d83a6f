#include "actions/PropertiesWindow.h"

#include "actions/ItemFacts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmaro {

namespace {

void nameWidget(QWidget* widget, const QString& name) {
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
}

}  // namespace

PropertiesWindow::PropertiesWindow(QWidget* owner, const QByteArray& rawPath)
    : QWidget(owner, Qt::Window), rawPath_(rawPath) {
    nameWidget(this, QStringLiteral("Eigenschaften"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    const ItemFacts facts = ItemFacts::read(rawPath);
    setWindowTitle(QStringLiteral("Eigenschaften von ") + facts.name);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    addRow(form, QStringLiteral("Name"), facts.name);
    addRow(form, QStringLiteral("Ordner"), facts.folder);
    addRow(form, QStringLiteral("Typ"), facts.type);
    addRow(form, QStringLiteral("Größe"), facts.size);
    addRow(form, QStringLiteral("Besitzer"), facts.owner);
    addRow(form, QStringLiteral("Berechtigungen"), facts.permissions);
    addRow(form, QStringLiteral("Erstellt"), facts.created);
    addRow(form, QStringLiteral("Geändert"), facts.modified);
    addRow(form, QStringLiteral("Letzter Zugriff"), facts.accessed);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    nameWidget(close, QStringLiteral("cmd_Schließen"));
    close->setAccessibleName(QStringLiteral("Schließen"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

PropertiesWindow* PropertiesWindow::open(QWidget* owner, const QByteArray& rawPath) {
    auto* window = new PropertiesWindow(owner, rawPath);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QString PropertiesWindow::value(const QString& caption) const {
    const auto* label = findChild<QLabel*>(QStringLiteral("Wert_") + caption);
    return label ? label->text() : QString();
}

void PropertiesWindow::addRow(QFormLayout* form, const QString& caption, const QString& value) {
    auto* title = new QLabel(caption + QLatin1Char(':'), this);
    nameWidget(title, QStringLiteral("Titel_") + caption);
    auto* shown = new QLabel(this);
    shown->setTextFormat(Qt::PlainText);  // names are data, never markup
    shown->setText(value);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    nameWidget(shown, QStringLiteral("Wert_") + caption);
    title->setBuddy(shown);
    form->addRow(title, shown);
}

}  // namespace velmaro
