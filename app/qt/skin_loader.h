#pragma once
// Builds widget trees from skin files. Every class name is offered to the
// window's createControl first: a page is built from its own skin file under
// the placeholder's name, a custom class is made by name; anything else is
// one of the library's registered custom controls or a toolkit class, and an
// unknown class becomes a plain container (reported in errors()).

#include <QStringList>
#include <QUiLoader>
#include <string>

#include "app/ui/skin_ui.h"

namespace rxt::ui {

class SkinLoader : public QUiLoader {
    Q_OBJECT

  public:
    SkinLoader(QString folder, WindowHandler* handler, QObject* parent = nullptr, int depth = 0);

    // The file's top widget (under `parent`), or null with the reason in
    // errors().
    QWidget* loadFile(const QString& path, QWidget* parent);
    const QStringList& errors() const { return errors_; }

    // The registered custom controls ("CircleProgress", ...), or null.
    static QWidget* createCustom(const QString& className, QWidget* parent, const QString& folder);
    static bool isCustom(const QString& className);

    // A resolved skin file name to a path: the index is the caller's.
    std::function<QString(const QString&)> resolvePage;

  protected:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override;

  private:
    QString folder_;
    WindowHandler* handler_;
    int depth_;
    QStringList errors_;
};

}  // namespace rxt::ui
