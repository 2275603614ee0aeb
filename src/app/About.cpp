#include "About.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QShortcut>

#include "Canvas.h"
#include "Pictures.h"
#include "Version.h"

namespace tarnfold::app {

namespace {

// Paragraphs as rich text, so the label wraps and aligns them itself: no
// spaces pushing a line to the right, which wrapped where the font chose.
QString Layout(const QStringList& paragraphs) {
    QString html;
    for (qsizetype i = 0; i < paragraphs.size(); ++i)
        html += QStringLiteral("<p style=\"margin-top:%1px\"%2>%3</p>")
                    .arg(i == 0 ? 0 : 8)
                    .arg(i + 1 == paragraphs.size() ? QStringLiteral(" align=\"right\"") : QString())
                    .arg(paragraphs[i].toHtmlEscaped());
    return html;
}

}  // namespace

QStringList Credits() {
    return {QCoreApplication::translate("About",
                                        "Tarnfold %1 was made by the Tarnfold authors, with coding tips from its "
                                        "contributors. For news of updates, see the project's home page and its "
                                        "issue tracker.")
                .arg(QStringLiteral(TARNFOLD_VERSION)),
            QCoreApplication::translate("About", "Free software under the MIT licence (the LICENSE file)."),
            QCoreApplication::translate("About", "Thanks, the Tarnfold authors")};
}

About* About::Instance() {
    static QPointer<About> open;
    if (!open) open = new About;
    return open;
}

About::About() : QWidget(nullptr) {
    setObjectName("About");
    setWindowTitle(tr("About"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(424, 185);
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the application even while About is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    Canvas1 = new Canvas(this);
    Canvas1->setObjectName("Canvas1");
    Canvas1->setGeometry(0, 0, 185, 185);

    StaticText1 = new QLabel(Layout(Credits()), this);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setGeometry(187, 0, 237, 185);
    StaticText1->setTextFormat(Qt::RichText);
    StaticText1->setWordWrap(true);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StaticText1->setContentsMargins(4, 6, 8, 6);

    Canvas1->SetBackdrop(egg_ic());
}

}  // namespace tarnfold::app
