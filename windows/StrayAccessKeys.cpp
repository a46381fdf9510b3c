#include "StrayAccessKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

class TStrayAccessKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    // An access key a control answers is a shortcut and never gets here.
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() != QEvent::KeyPress)
            return QObject::eventFilter(Watched, Event);
        const auto *Key = static_cast<const QKeyEvent *>(Event);
        const Qt::KeyboardModifiers Held =
            Key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        // Alt with Ctrl is AltGr on some platforms: that typing stays.
        return Held == Qt::AltModifier && !Key->text().isEmpty() && Key->text().at(0).isPrint();
    }
};

const char *const FilterName = "StrayAccessKeyFilter";

} // namespace

void SwallowStrayAccessKeys(QWidget *Window) {
    QObject *Filter =
        Window->findChild<QObject *>(QLatin1StringView(FilterName), Qt::FindDirectChildrenOnly);
    if (Filter == nullptr) {
        Filter = new TStrayAccessKeyFilter(Window);
        Filter->setObjectName(QLatin1StringView(FilterName));
    }
    // A control of another window (a file dialog the window owns) is left
    // to that window. Installing again only moves the filter to the front.
    for (QWidget *Control : Window->findChildren<QWidget *>())
        if (Control->window() == Window)
            Control->installEventFilter(Filter);
}
