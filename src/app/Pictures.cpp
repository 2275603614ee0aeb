#include "Pictures.h"

// The resources are compiled into a static library, whose registration the
// linker would drop unless something refers to it; this does.
static void InitResources() { Q_INIT_RESOURCE(tarnfold_app); }

namespace tarnfold::app {

const QImage& egg_ic() {
    static const QImage picture = [] {
        InitResources();
        return QImage(QStringLiteral(":/tarnfold/egg_ic.png"));
    }();
    return picture;
}

}  // namespace tarnfold::app
