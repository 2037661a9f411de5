#include "ui/SendTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QWidget>

namespace rm427::gui {

void SendTab(QWidget* target) {
    QWidget* w = target ? target : QApplication::focusWidget();
    if (!w) return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(w, &press);
    // The press may have moved the focus; the release goes where the focus is.
    QWidget* now = QApplication::focusWidget();
    QApplication::sendEvent(now ? now : w, &release);
}

bool EnterMovesOn(const QWidget* w) {
    if (!w) return false;
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        const QWidget* popup = combo->view() ? combo->view()->window() : nullptr;
        return !(popup && popup->isVisible());
    }
    return qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w);
}

EnterSendsTab::EnterSendsTab(QWidget* window) : QObject(window) {
    Watch(window);
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* c : children) Watch(c);
}

void EnterSendsTab::Watch(QWidget* w) {
    w->removeEventFilter(this);
    w->installEventFilter(this);
}

bool EnterSendsTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        auto* ce = static_cast<QChildEvent*>(event);
        if (ce->child()->isWidgetType()) Watch(static_cast<QWidget*>(ce->child()));
    } else if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) &&
            (ke->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && EnterMovesOn(w)) {
            SendTab(w);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace rm427::gui
