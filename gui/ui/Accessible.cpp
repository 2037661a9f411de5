#include "ui/Accessible.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QTextEdit>

#include <vector>

namespace rm427::gui {
namespace {

bool NeedsCaption(const QWidget* w) {
    if (!w->accessibleName().isEmpty()) return false;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text().isEmpty();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QProgressBar*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w);
}

// A caption that may still name a field: a label that is no one's yet, or an
// option button or check box with a text (the field belongs to its choice).
QWidget* FreeCaption(QLayoutItem* item) {
    QWidget* w = item ? item->widget() : nullptr;
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->buddy() || label->text().trimmed().isEmpty() ? nullptr : label;
    if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w))
        return static_cast<QAbstractButton*>(w)->text().isEmpty() ? nullptr : w;
    return nullptr;
}

QString Plain(QString text) {
    text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// A view with no caption (a grid, a list, a tree filling its window) is
// named after the window that holds it, and follows the window's title.
class TitleNames : public QObject {
public:
    explicit TitleNames(QWidget* window) : QObject(window) {
        setObjectName(QStringLiteral("rm427TitleNames"));
        window->installEventFilter(this);
    }
    void Add(QWidget* view) {
        views_.push_back(view);
        view->setAccessibleName(static_cast<QWidget*>(parent())->windowTitle());
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowTitleChange && watched == parent())
            for (const QPointer<QWidget>& v : views_)
                if (v) v->setAccessibleName(static_cast<QWidget*>(watched)->windowTitle());
        return false;
    }

private:
    std::vector<QPointer<QWidget>> views_;
};

void NameAfterTitle(QWidget* view) {
    QWidget* titled = view->parentWidget();
    while (titled && titled->windowTitle().isEmpty()) titled = titled->parentWidget();
    if (!titled) return;
    auto* names = static_cast<TitleNames*>(
        titled->findChild<QObject*>(QStringLiteral("rm427TitleNames"), Qt::FindDirectChildrenOnly));
    if (!names) names = new TitleNames(titled);
    names->Add(view);
}

constexpr const char* kCaptionProperty = "rm427CaptionButton";

// The layout that holds `target` (a widget or a layout) directly, searched
// from `top`; index is its place there.
QLayout* Holder(QLayout* top, const QObject* target, int& index) {
    for (int i = 0; top && i < top->count(); ++i) {
        QLayoutItem* it = top->itemAt(i);
        if (it->widget() == target || it->layout() == target) {
            index = i;
            return top;
        }
        if (QLayout* inner = it->layout())
            if (QLayout* found = Holder(inner, target, index)) return found;
    }
    return nullptr;
}

// The caption before `target` in the layout that holds it; the first thing of
// an inner row or column looks out to the layouts around it.
QWidget* CaptionBefore(QLayout* top, const QObject* target) {
    int index = -1;
    QLayout* holder = Holder(top, target, index);
    if (!holder) return nullptr;
    if (auto* form = qobject_cast<QFormLayout*>(holder)) {
        int row = 0;
        QFormLayout::ItemRole role;
        form->getItemPosition(index, &row, &role);
        if (role == QFormLayout::FieldRole)
            if (QWidget* l = FreeCaption(form->itemAt(row, QFormLayout::LabelRole))) return l;
    } else if (auto* grid = qobject_cast<QGridLayout*>(holder)) {
        int row = 0, col = 0, rows = 0, cols = 0;
        grid->getItemPosition(index, &row, &col, &rows, &cols);
        for (int c = col - 1; c >= 0; --c)
            if (QLayoutItem* left = grid->itemAtPosition(row, c)) {
                if (QWidget* l = FreeCaption(left)) return l;
                return nullptr;  // another field stands between
            }
        if (row > 0) return FreeCaption(grid->itemAtPosition(row - 1, col));
        return nullptr;
    } else if (index > 0) {
        return FreeCaption(holder->itemAt(index - 1));
    }
    if (index == 0 && holder != top) return CaptionBefore(top, holder);
    return nullptr;
}

}  // namespace

void LinkCaptions(QWidget* window) {
    for (QWidget* field : window->findChildren<QWidget*>()) {
        // Named by an option button: its text again, in today's language.
        if (auto* button = field->property(kCaptionProperty).value<QAbstractButton*>()) {
            field->setAccessibleName(Plain(button->text()));
            continue;
        }
        // Not the inner parts of another window, such as a list's popup.
        if (!NeedsCaption(field) || !field->parentWidget() || field->window() != window->window())
            continue;
        bool named = false;
        for (QLabel* l : field->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            named = named || l->buddy() == field;
        if (named) continue;
        QWidget* caption = CaptionBefore(field->parentWidget()->layout(), field);
        if (auto* label = qobject_cast<QLabel*>(caption)) {
            label->setBuddy(field);
        } else if (auto* button = qobject_cast<QAbstractButton*>(caption)) {
            field->setProperty(kCaptionProperty, QVariant::fromValue(button));
            field->setAccessibleName(Plain(button->text()));
        } else if (qobject_cast<QAbstractItemView*>(field) || qobject_cast<QPlainTextEdit*>(field) ||
                   qobject_cast<QTextEdit*>(field)) {
            NameAfterTitle(field);
        }
    }
}

}  // namespace rm427::gui
