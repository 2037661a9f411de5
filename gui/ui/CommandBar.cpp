#include "ui/CommandBar.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaEnum>
#include <QStyle>
#include <QToolBar>

#include "ui/DrawnIcons.h"

namespace rm427::gui {
namespace {

// Splits a line into words; "..." keeps spaces and may hold \" and \\.
bool SplitWords(const QString& line, QStringList& words) {
    words.clear();
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && line[i].isSpace()) ++i;
        if (i >= n) break;
        QString w;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == '\\' && i + 1 < n) {
                    w += line[i + 1];
                    i += 2;
                } else if (line[i] == '"') {
                    ++i;
                    closed = true;
                    break;
                } else {
                    w += line[i++];
                }
            }
            if (!closed) return false;
        } else {
            while (i < n && !line[i].isSpace()) w += line[i++];
        }
        words << w;
    }
    return true;
}

QIcon StandardIcon(const QString& name) {
    const QMetaEnum e = QMetaEnum::fromType<QStyle::StandardPixmap>();
    bool ok = false;
    const int v = e.keyToValue(name.toLatin1().constData(), &ok);
    if (!ok) return DrawnIcon(name);
    return QApplication::style()->standardIcon(static_cast<QStyle::StandardPixmap>(v));
}

}  // namespace

CommandBar::CommandBar(QMainWindow* window) : QObject(window), window_(window) {}

bool CommandBar::LoadLayoutFile(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot read the layout %1: %2").arg(path, f.errorString());
        return false;
    }
    return LoadLayout(QString::fromUtf8(f.readAll()), error);
}

bool CommandBar::LoadLayout(const QString& layoutText, QString* error) {
    QList<BandDef> bands;
    QList<ToolDef> tools;
    QString current;
    const QStringList lines = layoutText.split('\n');
    auto fail = [&](int line, const QString& why) {
        if (error) *error = QStringLiteral("layout line %1: %2").arg(line).arg(why);
        return false;
    };
    for (int ln = 0; ln < lines.size(); ++ln) {
        const QString line = lines[ln].trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        QStringList w;
        if (!SplitWords(line, w)) return fail(ln + 1, QStringLiteral("unclosed quote"));
        if (w[0] == QLatin1String("band")) {
            if (w.size() != 3) return fail(ln + 1, QStringLiteral("band needs a name and a kind"));
            if (w[2] != QLatin1String("menubar") && w[2] != QLatin1String("menu") &&
                w[2] != QLatin1String("toolbar"))
                return fail(ln + 1, QStringLiteral("unknown band kind ") + w[2]);
            for (const auto& b : bands)
                if (b.name == w[1]) return fail(ln + 1, QStringLiteral("band given twice: ") + w[1]);
            bands.append({w[1], w[2]});
            current = w[1];
        } else if (w[0] == QLatin1String("tool")) {
            if (current.isEmpty()) return fail(ln + 1, QStringLiteral("tool outside a band"));
            if (w.size() < 3) return fail(ln + 1, QStringLiteral("tool needs a name and a caption"));
            ToolDef t;
            t.band = current;
            t.name = w[1];
            t.caption = w[2];
            for (int k = 3; k < w.size(); ++k) {
                if (w[k] == QLatin1String("check")) t.check = true;
                else if (w[k] == QLatin1String("separator")) t.separator = true;
                else if (w[k].startsWith(QLatin1String("key="))) t.key = w[k].mid(4);
                else if (w[k].startsWith(QLatin1String("icon="))) t.icon = w[k].mid(5);
                else return fail(ln + 1, QStringLiteral("unknown attribute ") + w[k]);
            }
            for (const auto& o : tools)
                if (o.band == t.band && o.name == t.name)
                    return fail(ln + 1, QStringLiteral("tool given twice in its band: ") + t.name);
            tools.append(t);
        } else {
            return fail(ln + 1, QStringLiteral("unknown statement ") + w[0]);
        }
    }
    // Every menu band must hang under a tool of that name.
    for (const auto& b : bands) {
        if (b.kind != QLatin1String("menu")) continue;
        bool found = false;
        for (const auto& t : tools) found = found || t.name == b.name;
        if (!found) return fail(0, QStringLiteral("menu band without a tool: ") + b.name);
    }
    Build(bands, tools);
    return true;
}

QAction* CommandBar::MakeAction(const ToolDef& t, QObject* parent) {
    auto* a = new QAction(t.caption, parent);
    a->setObjectName(t.name);
    if (t.separator) a->setSeparator(true);
    if (t.check) a->setCheckable(true);
    if (!t.key.isEmpty()) {
        QList<QKeySequence> keys;
        for (const QString& k : t.key.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            keys << QKeySequence(k);
        a->setShortcuts(keys);
    }
    if (!t.icon.isEmpty()) a->setIcon(StandardIcon(t.icon));
    const QString name = t.name;
    connect(a, &QAction::triggered, this, [this, a, name] {
        // The check belongs to the program, not to the click: undo Qt's own
        // toggle so that the command decides.
        if (a->isCheckable()) {
            const QSignalBlocker block(a);
            a->setChecked(!a->isChecked());
        }
        emit ToolClick(name);
    });
    return a;
}

void CommandBar::Build(const QList<BandDef>& bands, const QList<ToolDef>& tools) {
    // Menus first, so that tools can hang them in.
    for (const auto& b : bands) {
        bandOrder_ << b.name;
        if (b.kind == QLatin1String("menu")) {
            auto* m = new QMenu(window_);
            m->setObjectName(b.name);
            menus_.insert(b.name, m);
        } else if (b.kind == QLatin1String("toolbar")) {
            auto* tb = new QToolBar(window_);
            tb->setObjectName(b.name);
            tb->setMovable(false);
            tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            window_->addToolBar(Qt::TopToolBarArea, tb);
            toolBars_.insert(b.name, tb);
        }
    }
    QHash<QString, QString> kindOf;
    for (const auto& b : bands) kindOf.insert(b.name, b.kind);
    for (const auto& t : tools) {
        const QString kind = kindOf.value(t.band);
        QAction* a = nullptr;
        if (QMenu* sub = menus_.value(t.name); sub && !t.separator) {
            // This tool opens a menu: its action is the menu's own.
            a = sub->menuAction();
            a->setText(t.caption);
            a->setObjectName(t.name);
            if (kind == QLatin1String("menubar")) window_->menuBar()->addMenu(sub);
            else if (QMenu* m = menus_.value(t.band)) m->addMenu(sub);
        } else {
            QObject* parent = toolBars_.value(t.band);
            if (!parent) parent = menus_.value(t.band);
            if (!parent) parent = window_;
            a = MakeAction(t, parent);
            if (kind == QLatin1String("menubar")) window_->menuBar()->addAction(a);
            else if (QMenu* m = menus_.value(t.band)) m->addAction(a);
            else if (QToolBar* tb = toolBars_.value(t.band)) tb->addAction(a);
        }
        tools_.insert({t.band, t.name}, a);
        toolOrder_[t.band] << t.name;
    }
}

bool CommandBar::HasTool(const QString& band, const QString& tool) const {
    return tools_.contains({band, tool});
}

QAction* CommandBar::Tool(const QString& band, const QString& tool) const {
    return tools_.value({band, tool}, nullptr);
}

QStringList CommandBar::Tools(const QString& band) const { return toolOrder_.value(band); }

QString CommandBar::Caption(const QString& band, const QString& tool) const {
    QAction* a = Tool(band, tool);
    return a ? a->text() : QString();
}

void CommandBar::SetCaption(const QString& band, const QString& tool, const QString& caption) {
    if (QAction* a = Tool(band, tool)) a->setText(caption);
}

bool CommandBar::ToolCheck(const QString& band, const QString& tool) const {
    QAction* a = Tool(band, tool);
    return a && a->isChecked();
}

void CommandBar::SetToolCheck(const QString& band, const QString& tool, bool checked) {
    QAction* a = Tool(band, tool);
    if (!a) return;
    if (!a->isCheckable()) a->setCheckable(true);
    const QSignalBlocker block(a);
    a->setChecked(checked);
}

bool CommandBar::ToolVisible(const QString& band, const QString& tool) const {
    QAction* a = Tool(band, tool);
    return a && a->isVisible();
}

void CommandBar::SetToolVisible(const QString& band, const QString& tool, bool visible) {
    if (QAction* a = Tool(band, tool)) a->setVisible(visible);
}

}  // namespace rm427::gui
