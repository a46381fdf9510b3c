#include "AppResources.h"

#include <QtGlobal>

static void RegisterOnce() {
    Q_INIT_RESOURCE(tarnwell);
}

void LoadAppResources() {
    static const bool registered = (RegisterOnce(), true);
    (void)registered;
}
