#include "About.h"

#include <QLabel>
#include <QPointer>

#include "Canvas.h"
#include "Pictures.h"
#include "Version.h"

namespace tarnfold::app {

QString Credits() {
    return QStringLiteral("Tarnfold " TARNFOLD_VERSION
                          " was made by the Tarnfold authors, with coding tips from its contributors. "
                          "For news of updates, see the project's home page and its issue tracker.\n"
                          "\n"
                          "Free software under the MIT licence (the LICENSE file).\n"
                          "\n") +
           QString(46, ' ') + QStringLiteral("Thanks, the Tarnfold authors");
}

About* About::Instance() {
    static QPointer<About> open;
    if (!open) open = new About;
    return open;
}

About::About() : QWidget(nullptr) {
    setObjectName("About");
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(424, 185);
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the application even while About is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    Canvas1 = new Canvas(this);
    Canvas1->setObjectName("Canvas1");
    Canvas1->setGeometry(0, 0, 185, 185);

    StaticText1 = new QLabel(Credits(), this);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setGeometry(187, 0, 237, 185);
    StaticText1->setTextFormat(Qt::PlainText);
    StaticText1->setWordWrap(true);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Canvas1->SetBackdrop(egg_ic());
}

}  // namespace tarnfold::app
