// The command bar: the main window's menus and toolbar, built from a layout
// description ("baseT.tbr", compiled in as a Qt resource) and addressed by
// band name plus tool name, the way the windows talk about them.
//
// Layout format, one statement a line; "#" starts a comment line, texts with
// spaces go in double quotes:
//   band NAME menubar|menu|toolbar      starts a band
//   tool NAME "Caption" [key=Ctrl+N] [icon=SP_xxx] [check] [separator]
// A menu band named X is the drop-down menu of tool X (in the menu bar or in
// another menu). "icon=" takes a QStyle standard pixmap name or the name of
// a picture of ui/DrawnIcons.h ("printer"); "key=" one or more shortcuts,
// separated by ";" (key=Ctrl+Y;Ctrl+Shift+Z).
#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace rm427::gui {

class CommandBar : public QObject {
    Q_OBJECT
public:
    explicit CommandBar(QMainWindow* window);

    // Builds the menus and toolbars into the window. False (with a reason
    // naming the line) on a malformed description; nothing is built then.
    bool LoadLayout(const QString& layoutText, QString* error = nullptr);
    bool LoadLayoutFile(const QString& path, QString* error = nullptr);

    bool HasTool(const QString& band, const QString& tool) const;
    // nullptr when the band holds no such tool.
    QAction* Tool(const QString& band, const QString& tool) const;
    QStringList Bands() const { return bandOrder_; }
    QStringList Tools(const QString& band) const;

    QString Caption(const QString& band, const QString& tool) const;
    void SetCaption(const QString& band, const QString& tool, const QString& caption);
    bool ToolCheck(const QString& band, const QString& tool) const;
    void SetToolCheck(const QString& band, const QString& tool, bool checked);
    bool ToolVisible(const QString& band, const QString& tool) const;
    void SetToolVisible(const QString& band, const QString& tool, bool visible);

    QMenu* Menu(const QString& band) const { return menus_.value(band); }
    QToolBar* ToolBar(const QString& band) const { return toolBars_.value(band); }

signals:
    // A tool was clicked (menu entry or toolbar button); carries its name.
    void ToolClick(const QString& tool);

private:
    struct ToolDef {
        QString band, name, caption, key, icon;
        bool check = false, separator = false;
    };
    struct BandDef {
        QString name, kind;
    };
    void Build(const QList<BandDef>& bands, const QList<ToolDef>& tools);
    QAction* MakeAction(const ToolDef& t, QObject* parent);

    QMainWindow* window_;
    QStringList bandOrder_;
    QHash<QString, QStringList> toolOrder_;
    QHash<QPair<QString, QString>, QAction*> tools_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QToolBar*> toolBars_;
};

}  // namespace rm427::gui
