#include "ui/qt/resources.h"

#include <QtGlobal>

void EnsureResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(zentrik);
        return true;
    }();
    (void)done;
}
