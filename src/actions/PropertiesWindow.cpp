#include "actions/PropertiesWindow.h"

#include "actions/ItemFacts.h"
#include "controls/FitLabel.h"
#include "platform/ControlPlacement.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace velmaro {

PropertiesWindow::PropertiesWindow(QWidget* owner, const QByteArray& rawPath,
                                   std::optional<quint64> folderBytes)
    : QWidget(owner, Qt::Window)
    , rawPath_(rawPath)
{
    platform::nameControl(this, QStringLiteral("Eigenschaften"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setFont(formFont());
    const ItemFacts facts = ItemFacts::read(rawPath, folderBytes);
    setWindowTitle(QStringLiteral("Eigenschaften von ") + facts.name);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    addLongRow(form, QStringLiteral("Name"), facts.name);
    addLongRow(form, QStringLiteral("Ordner"), facts.folder);
    addRow(form, QStringLiteral("Typ"), facts.type);
    addRow(form, QStringLiteral("Größe"), facts.size);
    if (!facts.entries.isEmpty())
        addRow(form, QStringLiteral("Inhalt"), facts.entries);
    addRow(form, QStringLiteral("Besitzer"), facts.owner);
    addRow(form, QStringLiteral("Berechtigungen"), facts.permissions);
    addRow(form, QStringLiteral("Erstellt"), facts.created);
    addRow(form, QStringLiteral("Geändert"), facts.modified);
    addRow(form, QStringLiteral("Letzter Zugriff"), facts.accessed);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    platform::nameControl(close, QStringLiteral("cmd_Schließen"));
    close->setAccessibleName(QStringLiteral("Schließen"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    setMinimumWidth(platform::twipsToPixels(5700));
}

PropertiesWindow* PropertiesWindow::open(QWidget* owner, const QByteArray& rawPath,
                                         std::optional<quint64> folderBytes)
{
    auto* window = new PropertiesWindow(owner, rawPath, folderBytes);
    window->centreOnOwner();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void PropertiesWindow::centreOnOwner()
{
    adjustSize();
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner && owner->screen() ? owner->screen() : this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect box(QPoint(0, 0), frameGeometry().size());
    box.moveCenter(owner && owner->isVisible() ? owner->frameGeometry().center() : area.center());
    // Keep it on the screen's free area.
    box.moveLeft(std::clamp(box.left(), area.left(), std::max(area.left(), area.right() + 1 - box.width())));
    box.moveTop(std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() + 1 - box.height())));
    move(box.topLeft());
}

void PropertiesWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString PropertiesWindow::value(const QString& caption) const
{
    const auto* label = findChild<QLabel*>(QStringLiteral("Wert_") + caption);
    return label ? label->text() : QString();
}

void PropertiesWindow::addRow(QFormLayout* form, const QString& caption, const QString& value)
{
    auto* shown = new QLabel(this);
    shown->setTextFormat(Qt::PlainText);  // names are data, never markup
    shown->setText(value);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    addValue(form, caption, shown);
}

// A name or folder longer than the window may grow (two thirds of the
// screen) elides in the middle, with the full text as tooltip.
void PropertiesWindow::addLongRow(QFormLayout* form, const QString& caption, const QString& value)
{
    auto* shown = new FitLabel(value, this);
    shown->setElideMode(Qt::ElideMiddle);
    addValue(form, caption, shown);
}

void PropertiesWindow::addValue(QFormLayout* form, const QString& caption, QLabel* shown)
{
    auto* title = new QLabel(caption + QLatin1Char(':'), this);
    platform::nameControl(title, QStringLiteral("Titel_") + caption);
    platform::nameControl(shown, QStringLiteral("Wert_") + caption);
    title->setBuddy(shown);
    form->addRow(title, shown);
}

}  // namespace velmaro
