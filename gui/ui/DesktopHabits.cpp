#include "ui/DesktopHabits.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTranslator>

#include <algorithm>

#include "ui/Accessible.h"

namespace rm427::gui {

void SetUpApplication(QApplication& app, const QString& version) {
    QApplication::setApplicationName(QStringLiteral("rm427"));
    QApplication::setApplicationVersion(version);
    // The radio's icon on every window, the channel and other windows inside
    // the main one too (they showed the toolkit's logo).
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/rm427.png")));
    app.installEventFilter(new KeyboardHabits(&app));
}

bool KeyboardHabits::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) &&
            (ke->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && button->hasFocus() &&
            button->isEnabled()) {
            button->click();
            return true;
        }
        break;
    }
    case QEvent::Show:
        if (auto* w = qobject_cast<QWidget*>(watched);
            w && (w->isWindow() || w->windowType() == Qt::SubWindow)) {
            LinkCaptions(w);
            if (w->isWindow() && w->isModal()) ModalShown(w);
        }
        break;
    case QEvent::Hide:
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow()) ModalHidden(w);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void KeyboardHabits::ModalShown(QWidget* modal) {
    QWidget* opener = QApplication::activeWindow();
    if (!opener || opener == modal)
        opener = modal->parentWidget() ? modal->parentWidget()->window() : nullptr;
    if (!opener) return;
    open_.push_back({modal, opener, opener->focusWidget()});
}

void KeyboardHabits::ModalHidden(QWidget* modal) {
    const auto it =
        std::find_if(open_.begin(), open_.end(), [modal](const Opened& o) { return o.modal == modal; });
    // Drop entries of windows gone meanwhile, and this one.
    Opened entry;
    if (it != open_.end()) entry = *it;
    open_.erase(std::remove_if(open_.begin(), open_.end(),
                               [modal](const Opened& o) { return !o.modal || o.modal == modal; }),
                open_.end());
    QWidget* opener = entry.opener;
    if (!opener || !opener->isVisible()) return;
    opener->activateWindow();
    if (entry.focus && entry.focus->window() == opener && entry.focus->isVisible())
        entry.focus->setFocus(Qt::ActiveWindowFocusReason);
}

QtOwnTexts::QtOwnTexts() : translator_(std::make_unique<QTranslator>()) {}

QtOwnTexts::~QtOwnTexts() {
    if (installed_) QCoreApplication::removeTranslator(translator_.get());
}

void QtOwnTexts::Apply(int language) {
    if (language == 1) {
        if (!loaded_)
            loaded_ = translator_->load(QStringLiteral("qtbase_zh_CN"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (loaded_ && !installed_) installed_ = QCoreApplication::installTranslator(translator_.get());
    } else if (installed_) {
        QCoreApplication::removeTranslator(translator_.get());
        installed_ = false;
    }
}

}  // namespace rm427::gui
